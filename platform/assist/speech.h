// Where the device's voice goes: speech-dispatcher when it is running (its
// own protocol, SSIP, over its socket), else espeak-ng, run once for each
// utterance. Each new utterance stops the one before: the person has moved on.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace assist {

class Speaker {
   public:
    virtual ~Speaker() = default;
    // Stops what is being said and says `text` (UTF-8).
    virtual void Say(const std::string& text) = 0;
    virtual void Stop() = 0;
};

// speech-dispatcher's socket: $SPEECHD_ADDRESS ("unix_socket:PATH"), else
// $XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock. Null when nothing
// listens there: it is not started for us.
std::unique_ptr<Speaker> ConnectSpeechDispatcher();

// espeak-ng with `args` before the text ("-w FILE" writes a WAV instead of
// playing). Null when espeak-ng is not on the PATH.
class Espeak : public Speaker {
   public:
    explicit Espeak(std::vector<std::string> args) : args_(std::move(args)) {}
    ~Espeak() override;
    void Say(const std::string& text) override;
    void Stop() override;
    // Waits until the utterance has been said (or written).
    void Finish();

   private:
    std::vector<std::string> args_;
    pid_t child_ = 0;
};
std::unique_ptr<Espeak> StartEspeak(std::vector<std::string> args = {});

// The first of the two that is there; null with a line saying why in `why`.
std::unique_ptr<Speaker> OpenSpeaker(std::string* why);

}  // namespace assist
