#include "device/record.h"
#include "winuser.h"

namespace {
int answer = IDOK;
}

namespace device {

std::vector<MessageBoxRecord>& MessageBoxLog() {
    static std::vector<MessageBoxRecord> log;
    return log;
}

void SetMessageBoxAnswer(int a) { answer = a; }

std::string Narrow(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out.push_back(static_cast<char>(c & 0xff));
    return out;
}

}  // namespace device

// Until the screen exists, a message box is answered at once and recorded.
int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    device::MessageBoxLog().push_back({text ? std::u16string(text) : std::u16string(),
                                       caption ? std::u16string(caption) : std::u16string(), type});
    return answer;
}
