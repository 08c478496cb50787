#include "simhost/MenuCaptions.h"

#include <utility>

#include "simhost/SimError.h"

namespace tavisk::simhost {
namespace {

// The editors' own translations: a Japanese caption carries its access key in
// brackets after the word, a German editor's Help menu is "&?".
const std::pair<const wchar_t*, MenuCaptions> kLanguages[] = {
    {L"en",
     {L"&File", L"&Open...", L"&Close", L"&Save", L"&Edit", L"&View", L"&Tools", L"&Spelling...", L"&Options...",
      L"&Help", L"Open &Web...", L"Close W&eb", L"E&xit", 1033}},
    {L"de",
     {L"&Datei", L"Ö&ffnen...", L"S&chließen", L"&Speichern", L"&Bearbeiten", L"&Ansicht", L"E&xtras",
      L"&Rechtschreibung...", L"&Optionen...", L"&?", L"&Web öffnen...", L"Web schl&ießen", L"&Beenden", 1031}},
    {L"fr",
     {L"&Fichier", L"&Ouvrir...", L"&Fermer", L"&Enregistrer", L"&Edition", L"&Affichage", L"&Outils",
      L"Orth&ographe...", L"O&ptions...", L"&?", L"Ouvrir un site &Web...", L"Fermer le site W&eb", L"&Quitter", 1036}},
    {L"ja",
     {L"ファイル(&F)", L"開く(&O)...", L"閉じる(&C)", L"上書き保存(&S)", L"編集(&E)", L"表示(&V)", L"ツール(&T)",
      L"スペルチェック(&S)...", L"オプション(&O)...", L"ヘルプ(&H)", L"Web を開く(&W)...", L"Web を閉じる(&E)",
      L"終了(&X)", 1041}},
};

}  // namespace

std::vector<std::wstring> MenuLanguages() {
    std::vector<std::wstring> codes;
    for (const auto& [code, captions] : kLanguages) codes.emplace_back(code);
    return codes;
}

const MenuCaptions& MenuCaptionsFor(const std::wstring& language) {
    for (const auto& [code, captions] : kLanguages)
        if (language == code) return captions;
    std::wstring offered;
    for (const auto& code : MenuLanguages()) offered += (offered.empty() ? L"" : L", ") + code;
    throw SimError(kErrorInvalidArg,
                   L"The host has no user-interface language \"" + language + L"\" (" + offered + L").");
}

}  // namespace tavisk::simhost
