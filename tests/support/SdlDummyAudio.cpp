// SDL's dummy audio device for the sound tests and benchmarks.
#include "tests/support/SoundTestSupport.h"

#include <dlfcn.h>

bool StartSdlDummyAudio(ScopedEnvironment& environment)
{
    constexpr unsigned kSdlInitAudio = 0x10;
    environment.Set("SDL_AUDIODRIVER", "dummy");
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (!sdl)
        return false;
    using Init = int (*)(unsigned);
    const auto init = reinterpret_cast<Init>(dlsym(sdl, "SDL_Init"));
    return init && init(kSdlInitAudio) == 0;
}
