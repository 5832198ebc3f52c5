#pragma once
// PortAudio brought up once per process, without the ALSA and JACK chatter its start-up
// prints otherwise. Every PortAudio user in the program goes through Acquire first.

namespace ostrel {

class PortAudioSystem {
 public:
  // Initialises PortAudio on the first call; true while it is usable. Never terminated:
  // streams may still be open while static objects go away at exit.
  static bool Acquire();
  // The PortAudio error of a failed initialisation (0 when none).
  static int InitError();
  // Silences ALSA's and (when the JACK library is loaded) JACK's error printing. Done by
  // Acquire; exposed so that a test can check the start-up output.
  static void SilenceLibraries();
};

}  // namespace ostrel
