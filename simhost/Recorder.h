#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tavisk::simhost {

// Records every operation called on the stand-in host, in order, and refuses a
// chosen call of a chosen operation, so tests can check what the add-in asks of
// the host and what it does when the host says no.
//
// An entry reads "Role.operation", followed by "[target]" when the operation acts
// on a particular file, window or control and "(arguments)" when it takes any:
//   WebFile.open[file:///C:/web/a.htm]   Body.setAttribute[file:///C:/web/a.htm](topmargin=10,1)
class Recorder {
public:
    // Records the call, then raises SimError if it is the one chosen to fail.
    void call(const std::wstring& operation, const std::wstring& target = {}, const std::wstring& arguments = {});

    // The `nth` call (from 1) of `operation` made from now on fails with `code` and
    // `message`; the calls before and after it succeed.
    void failOn(const std::wstring& operation, int nth, std::int32_t code, std::wstring message);
    void failOn(const std::wstring& operation, int nth = 1);

    // Off, calls are only counted for the failures chosen: for runs too long to keep
    // every entry of.
    void setRecording(bool on) noexcept { _recording = on; }

    const std::vector<std::wstring>& calls() const noexcept { return _calls; }
    // The recorded entries whose operation is one of `operations`, in order.
    std::vector<std::wstring> callsOf(const std::vector<std::wstring>& operations) const;
    int countOf(const std::wstring& operation) const;
    void clear();

private:
    struct Failure {
        int remaining;
        std::int32_t code;
        std::wstring message;
    };
    bool _recording = true;
    std::vector<std::wstring> _calls;
    std::vector<std::wstring> _operations;  // the operation of each entry of _calls
    std::map<std::wstring, std::vector<Failure>> _failures;
};

}  // namespace tavisk::simhost
