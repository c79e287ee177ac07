// The ALSA sequencer back end through RtMidi. Without /dev/snd/seq (no sound support in
// the system) it simply lists nothing.
#include "platform/RtMidiPorts.h"

#include <regex>
#include <sys/stat.h>

namespace {

class AlsaBackEnd : public RtMidiBackEnd {
public:
    AlsaBackEnd() : RtMidiBackEnd(RtMidi::LINUX_ALSA, "") {}

protected:
    bool available() override
    {
        struct stat info {};
        return stat("/dev/snd/seq", &info) == 0;
    }
    // RtMidi names ALSA ports "client:port 20:0"; the numbers change as programs and
    // devices come and go, so the saved name leaves them out.
    std::string userName(const std::string& rtMidiName) const override
    {
        static const std::regex numbers(R"( \d+:\d+$)");
        return std::regex_replace(rtMidiName, numbers, "");
    }
};

} // namespace

std::shared_ptr<MIDIBackEnd> MakeAlsaBackEnd(const std::shared_ptr<BackgroundOpener>&)
{
    return std::make_shared<AlsaBackEnd>();
}
