#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tavisk::base {

// The languages the add-in speaks; every other language of the editor gets English.
enum class Language { English, German, French, Japanese };
inline constexpr Language kLanguages[] = {Language::English, Language::German, Language::French, Language::Japanese};

// Every text the user sees, other than proper names and the host's own error texts.
// "%1", "%2" stand for what the text names (a number, a page's URL); a translation
// may put them in another order.
enum class TextId {
    MakerPopup,
    MenuCommand,
    NoWebMessage,
    OptionsCaption,
    TopMargin,
    LeftMargin,
    BothBrowsers,
    ExplorerOnly,
    NetscapeOnly,
    AllPages,
    SelectedPages,
    EditQueue,
    MarginsFrame,
    FilesFrame,
    ApplyToFrame,
    CompatibilityFrame,
    AboutButton,
    Cancel,
    OK,
    ColumnName,
    ColumnTitle,
    ColumnLocation,
    ChooserUnavailable,
    AboutCaption,
    AboutVersion,
    AboutProduct,
    AboutPurpose,
    ChooserCaption,
    LookIn,
    AddToQueue,
    FilesInFolder,
    FilesInQueue,
    RemoveFromQueue,
    ListingFolder,
    MovingPage,
    WaitCaption,
    WaitLoading,
    WaitPlease,
    ProgressStatus,
    ProgressCounting,
    RunDone,
    CountStopped,
    RunStopped,
    SavedViewFailed,
    SavedCloseFailed,
    SavedViewPutBack,
    SavedClosedPutBack,
    ThePage,
    NotApplied,
    NotAppliedTo,
    NoActivePage,
    FilesChanged,
    ActionFailed,
    SortingList,
    SelectingText,
    DialogWork,
    ClosingWindow,
    LeavingWindow,
    ActivatingWindow,
    // What the host answered that the add-in cannot work with.
    HostNotConnected,
    HostNoWeb,
    HostNoPageOpen,
    HostNoWebWindow,
    HostNotApplication,
    HostNoItem,
    HostValueUnreadable,
    HostNoFile,
    HostNoFolder,
    HostNoPageShown,
    HostNoBody,
    HostAddedNoControl,
    HostNoCommandBar,
    HostGaveNoObject,
    HostNoMember,
    HostRefused,
    ClickNoButton,
    ClickNoEvents,
    ClickNoClickEvent,
    ClickRefused,
    ValueNotText,
    ValueNotNumber,
    ValueNotYesNo,
    ValueNotObject,
    NoCommandWithId,
    Count
};
inline constexpr std::size_t kTextCount = static_cast<std::size_t>(TextId::Count);

// One row of a language's table; the rows stand in the order of TextId.
struct TextEntry {
    TextId id;
    const wchar_t* text;
};
using TextTable = TextEntry[kTextCount];

// A table is complete when it has a non-empty text for every id, in the ids' order:
// each table is checked with it at compile time, so a missing row stops the build.
constexpr bool IsComplete(const TextTable& table) {
    for (std::size_t i = 0; i < kTextCount; ++i) {
        if (table[i].id != static_cast<TextId>(i) || !table[i].text || !*table[i].text) return false;
    }
    return true;
}

// English, the reference every translation matches row for row.
inline constexpr TextTable kEnglishTexts = {
    {TextId::MakerPopup, L"&Halvern Add-ins"},
    {TextId::MenuCommand, L"&Tavisk 2002..."},
    {TextId::NoWebMessage, L"You must open a Web before using Tavisk 2002."},
    {TextId::OptionsCaption, L"Tavisk 2002"},
    {TextId::TopMargin, L"&Top margin"},
    {TextId::LeftMargin, L"&Left margin"},
    {TextId::BothBrowsers, L"&Both Internet Explorer and Netscape"},
    {TextId::ExplorerOnly, L"Internet &Explorer only"},
    {TextId::NetscapeOnly, L"&Netscape only"},
    {TextId::AllPages, L"&All pages"},
    {TextId::SelectedPages, L"Selected &page(s)"},
    {TextId::EditQueue, L"Edit &Queue"},
    {TextId::MarginsFrame, L"Margins"},
    {TextId::FilesFrame, L"Files to be processed (if processing selected page(s))"},
    {TextId::ApplyToFrame, L"Apply to"},
    {TextId::CompatibilityFrame, L"Compatibility"},
    {TextId::AboutButton, L"About..."},
    {TextId::Cancel, L"Cancel"},
    {TextId::OK, L"OK"},
    {TextId::ColumnName, L"Name"},
    {TextId::ColumnTitle, L"Title"},
    {TextId::ColumnLocation, L"Located in"},
    {TextId::ChooserUnavailable, L"The page chooser is not available, so the queue cannot be edited."},
    {TextId::AboutCaption, L"About Tavisk 2002"},
    {TextId::AboutVersion, L"Version %1"},
    {TextId::AboutProduct, L"An add-in for Microsoft FrontPage 2002."},
    {TextId::AboutPurpose, L"Sets the top and left margins of a web's pages, for Internet Explorer and Netscape."},
    {TextId::ChooserCaption, L"Tavisk 2002 - Select Files"},
    {TextId::LookIn, L"Look in:"},
    {TextId::AddToQueue, L"&Add Selected to Queue"},
    {TextId::FilesInFolder, L"Files in selected folder (bold indicates file already in queue):"},
    {TextId::FilesInQueue, L"Files in queue:"},
    {TextId::RemoveFromQueue, L"Re&move Selected from Queue"},
    {TextId::ListingFolder, L"Listing the folder"},
    {TextId::MovingPage, L"Moving the page"},
    {TextId::WaitCaption, L"Loading Web..."},
    {TextId::WaitLoading, L"Loading Web.  This may take a minute."},
    {TextId::WaitPlease, L"Please wait..."},
    {TextId::ProgressStatus, L"Applying margins to page %1 of %2"},
    {TextId::ProgressCounting, L"Counting pages..."},
    {TextId::RunDone, L"Margin settings have been applied successfully."},
    {TextId::CountStopped, L"The run was stopped while the pages were being counted. No page was changed."},
    {TextId::RunStopped, L"The run was stopped after %1 of %2 pages. The pages done keep their new margins."},
    {TextId::SavedViewFailed,
     L"The margins were applied and saved to %1, but putting the page's view back afterwards failed."},
    {TextId::SavedCloseFailed, L"The margins were applied and saved to %1, but closing the page afterwards failed."},
    {TextId::SavedViewPutBack,
     L"The margins were applied and saved to %1, and the page's view was put back, but the run stopped there."},
    {TextId::SavedClosedPutBack,
     L"The margins were applied and saved to %1, and the page was closed, but the run stopped there."},
    {TextId::ThePage, L"the page"},
    {TextId::NotApplied, L"The margins could not be applied."},
    {TextId::NotAppliedTo, L"The margins could not be applied to %1."},
    {TextId::NoActivePage, L"No page is active in FrontPage."},
    {TextId::FilesChanged,
     L"The web's files changed while the margins were being applied, and this file is not a page. Run the command "
     L"again to apply them to the pages the web holds now."},
    {TextId::ActionFailed, L"%1 failed."},
    {TextId::SortingList, L"Sorting the list"},
    {TextId::SelectingText, L"Selecting the text"},
    {TextId::DialogWork, L"The dialog's work"},
    {TextId::ClosingWindow, L"Closing the window"},
    {TextId::LeavingWindow, L"Leaving the window"},
    {TextId::ActivatingWindow, L"Activating the window"},
    {TextId::HostNotConnected, L"The add-in is not connected to a host application."},
    {TextId::HostNoWeb, L"No web is open in FrontPage."},
    {TextId::HostNoPageOpen, L"No page is open in the host."},
    {TextId::HostNoWebWindow, L"The host has no active web window."},
    {TextId::HostNotApplication, L"The object handed over is not the host's application."},
    {TextId::HostNoItem, L"The host has no %1 item at that index."},
    {TextId::HostValueUnreadable, L"The host's WebFile.%1 of %2 cannot be read."},
    {TextId::HostNoFile, L"The web has no file %1."},
    {TextId::HostNoFolder, L"The web has no folder %1."},
    {TextId::HostNoPageShown, L"The page window shows no page."},
    {TextId::HostNoBody, L"The page has no body element."},
    {TextId::HostAddedNoControl, L"The host added no control."},
    {TextId::HostNoCommandBar, L"The host has no command bar \"%1\"."},
    {TextId::HostGaveNoObject, L"The host gave no %1 object."},
    {TextId::HostNoMember, L"The host's %1 object has no member %2."},
    {TextId::HostRefused, L"The host refused %1."},
    {TextId::ClickNoButton, L"There is no button to bind."},
    {TextId::ClickNoEvents, L"The control is not a button with events."},
    {TextId::ClickNoClickEvent, L"The control is not a button with a Click event."},
    {TextId::ClickRefused, L"The button refused the Click subscription."},
    {TextId::ValueNotText, L"The host's value is not a text."},
    {TextId::ValueNotNumber, L"The host's value is not a number."},
    {TextId::ValueNotYesNo, L"The host's value is not a yes/no value."},
    {TextId::ValueNotObject, L"The host's value is not an object."},
    {TextId::NoCommandWithId, L"The menu bar has no command with Id %1."},
};
static_assert(IsComplete(kEnglishTexts));

extern const TextTable kGermanTexts;
extern const TextTable kFrenchTexts;
extern const TextTable kJapaneseTexts;

// A form's constant that names its English caption, as tests and the stand-in's
// walkthrough find its window, is taken from here.
constexpr const wchar_t* English(TextId id) { return kEnglishTexts[static_cast<std::size_t>(id)].text; }

// The language of an editor's user-interface language (an LCID), by its primary
// language: German (Austria) speaks German.
Language LanguageOfLcid(std::uint32_t lcid) noexcept;

// The language every later text is taken in: set once when the add-in connects,
// English until then.
void SetLanguage(Language language) noexcept;
Language CurrentLanguage() noexcept;

const wchar_t* TextIn(Language language, TextId id) noexcept;
const wchar_t* Text(TextId id) noexcept;
// The text with "%1", "%2", ... replaced by `args` in order.
std::wstring Text(TextId id, std::initializer_list<std::wstring_view> args);

// The face the dialogs are drawn in: Japanese takes the interface font the
// system substitutes for "MS Shell Dlg" (MS UI Gothic on a Japanese Windows).
const wchar_t* DialogFontFace() noexcept;

}  // namespace tavisk::base
