#include "platform/SystemFonts.h"

#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <sched.h>

#include <functional>
#include <memory>

namespace {

// Starts job on a detached thread that begins on another core than the calling thread's.
// Left to itself, the scheduler often starts a new thread on its maker's core and keeps the
// two taking turns there for a millisecond or more while another core idles; the maker
// here is the GUI thread at its busiest. The job may move anywhere once it runs. False
// when no thread could be started.
bool startOffThisCore(std::function<void()> job)
{
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    const int core = sched_getcpu();
    if (core >= 0 && core < CPU_SETSIZE && sched_getaffinity(0, sizeof allowed, &allowed) == 0 &&
        CPU_ISSET(core, &allowed) && CPU_COUNT(&allowed) > 1) {
        cpu_set_t others = allowed;
        CPU_CLR(core, &others);
        pthread_attr_setaffinity_np(&attributes, sizeof others, &others);
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    auto owned = std::make_unique<std::function<void()>>(std::move(job));
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, [](void* argument) -> void* {
        const std::unique_ptr<std::function<void()>> run(static_cast<std::function<void()>*>(argument));
        (*run)();
        return nullptr;
    }, owned.get()) == 0;
    pthread_attr_destroy(&attributes);
    if (started)
        owned.release();
    return started;
}

} // namespace

std::shared_future<void> ReadFontConfigurationInBackground()
{
    // A failed set-up is left for Qt to meet and report in its own way.
    auto read = std::make_shared<std::packaged_task<void()>>([] { FcInit(); });
    std::shared_future<void> done = read->get_future().share();
    if (!startOffThisCore([read] { (*read)(); }))
        (*read)();
    return done;
}
