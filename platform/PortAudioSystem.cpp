#include "platform/PortAudioSystem.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>

#include <mutex>

namespace ostrel {

namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

std::once_flag gInitOnce;
PaError gInitError = paNoError;

}  // namespace

void PortAudioSystem::SilenceLibraries() {
  snd_lib_error_set_handler(&QuietAlsa);
  // JACK comes in only as a dependency of PortAudio, so look its setters up at run time
  // rather than linking it: a build without JACK still works.
  using SetPrinter = void (*)(void (*)(const char*));
  for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
    if (auto set = reinterpret_cast<SetPrinter>(::dlsym(RTLD_DEFAULT, name))) set(&QuietJack);
  }
}

bool PortAudioSystem::Acquire() {
  std::call_once(gInitOnce, [] {
    SilenceLibraries();
    gInitError = Pa_Initialize();
  });
  return gInitError == paNoError;
}

int PortAudioSystem::InitError() {
  return gInitError;
}

}  // namespace ostrel
