#include "device/record.h"
#include "mmsystem.h"

namespace device {

std::vector<std::u16string>& SoundLog() {
    static std::vector<std::u16string> log;
    return log;
}

}  // namespace device

// Sounds are recorded; a null name stops the sound that is playing.
BOOL PlaySoundW(LPCWSTR sound, HMODULE, DWORD) {
    device::SoundLog().push_back(sound ? std::u16string(sound) : std::u16string());
    return TRUE;
}
