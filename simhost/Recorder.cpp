#include "simhost/Recorder.h"

#include <algorithm>

#include "simhost/SimError.h"

namespace tavisk::simhost {

void Recorder::call(const std::wstring& operation, const std::wstring& target, const std::wstring& arguments) {
    if (_recording) {
        std::wstring entry = operation;
        if (!target.empty()) entry += L"[" + target + L"]";
        if (!arguments.empty()) entry += L"(" + arguments + L")";
        _calls.push_back(std::move(entry));
        _operations.push_back(operation);
    }

    const auto found = _failures.find(operation);
    if (found == _failures.end()) return;
    auto& pending = found->second;
    for (auto& failure : pending) --failure.remaining;
    const auto due = std::find_if(pending.begin(), pending.end(), [](const Failure& f) { return f.remaining == 0; });
    if (due == pending.end()) return;
    SimError error(due->code, due->message);
    pending.erase(due);
    throw error;
}

void Recorder::failOn(const std::wstring& operation, int nth, std::int32_t code, std::wstring message) {
    _failures[operation].push_back({nth, code, std::move(message)});
}

void Recorder::failOn(const std::wstring& operation, int nth) {
    failOn(operation, nth, kErrorFail, L"The host refused " + operation + L".");
}

std::vector<std::wstring> Recorder::callsOf(const std::vector<std::wstring>& operations) const {
    std::vector<std::wstring> out;
    for (size_t i = 0; i < _calls.size(); ++i) {
        if (std::find(operations.begin(), operations.end(), _operations[i]) != operations.end())
            out.push_back(_calls[i]);
    }
    return out;
}

int Recorder::countOf(const std::wstring& operation) const {
    return static_cast<int>(std::count(_operations.begin(), _operations.end(), operation));
}

void Recorder::clear() {
    _calls.clear();
    _operations.clear();
}

}  // namespace tavisk::simhost
