#include "platform/Sound.h"

#include "platform/ToneWav.h"

#include <canberra.h>
#include <dlfcn.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA's default error handler prints a screenful to stderr for every sound on
// a machine without a sound device; libcanberra's result tells us already. The
// library is libcanberra's to load, so it is only looked up, never loaded.
void QuietenAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!alsa)
        return;
    if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(&IgnoreAlsaError);
}

// libcanberra opens the file and the sound device inside ca_context_play, and
// the ALSA driver may wait for a busy device there: the calls run on a thread
// of their own so that the GUI thread never waits for them.
class CSoundPlayer {
public:
    static CSoundPlayer& Get() {
        static CSoundPlayer player;
        return player;
    }

    // The sink is read under the same lock as the queue, so a sink set from
    // the GUI thread takes effect for the very next call.
    void Post(std::string what, std::function<void()> job) {
        std::unique_lock lock(m_mutex);
        if (m_fnSink) {
            auto sink = m_fnSink; // may call back into SetTestSink
            lock.unlock();
            sink(what);
            return;
        }
        m_queue.push_back(std::move(job));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Run(); });
        m_cv.notify_one();
    }

    void SetSink(std::function<void(const std::string&)> sink) {
        std::lock_guard lock(m_mutex);
        m_fnSink = std::move(sink);
    }

    // Runs on the player's thread.
    void Play(const std::string& path) {
        if (!Open())
            return;
        const int rc = ca_context_play(m_pContext, 0, CA_PROP_MEDIA_FILENAME, path.c_str(),
                                       CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr);
        switch (rc) {
        case CA_ERROR_NOTFOUND:
        case CA_ERROR_CORRUPT:
        case CA_ERROR_NOTSUPPORTED:
        case CA_ERROR_ACCESS:
        case CA_ERROR_IO:
        case CA_ERROR_INVALID:
        case CA_ERROR_TOOBIG:
            // The file is at fault, not the sound system: the default sound.
            ca_context_play(m_pContext, 0, CA_PROP_EVENT_ID, "bell", nullptr);
            break;
        default:
            break;
        }
    }

private:
    CSoundPlayer() = default;

    ~CSoundPlayer() {
        {
            std::lock_guard lock(m_mutex);
            m_bStop = true;
        }
        m_cv.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    void Run() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [this] { return m_bStop || !m_queue.empty(); });
                if (m_bStop)
                    break;
                job = std::move(m_queue.front());
                m_queue.pop_front();
            }
            job();
        }
        if (m_pContext)
            ca_context_destroy(m_pContext);
        m_pContext = nullptr;
    }

    bool Open() {
        if (m_pContext)
            return true;
        if (m_bOpenFailed || ca_context_create(&m_pContext) != CA_SUCCESS) {
            m_bOpenFailed = true;
            return false;
        }
        ca_context_change_props(m_pContext, CA_PROP_APPLICATION_NAME, "Tessary",
                                CA_PROP_APPLICATION_ID, "org.tessary.Tessary", nullptr);
        // A failed open is retried at the next play: the sound server may come
        // up after the program.
        if (ca_context_open(m_pContext) != CA_SUCCESS) {
            ca_context_destroy(m_pContext);
            m_pContext = nullptr;
            return false;
        }
        QuietenAlsa();
        return true;
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_queue;
    std::function<void(const std::string&)> m_fnSink;
    std::thread m_thread;
    bool m_bStop = false;
    bool m_bOpenFailed = false; // no context can be made at all
    ca_context* m_pContext = nullptr;
};

} // namespace

namespace sound {

void PlayFile(const std::string& path) {
    CSoundPlayer& player = CSoundPlayer::Get();
    player.Post("play:" + path, [&player, path] { player.Play(path); });
}

void Beep(unsigned frequencyHz, unsigned durationMs) {
    CSoundPlayer& player = CSoundPlayer::Get();
    player.Post("beep:" + std::to_string(frequencyHz) + ":" + std::to_string(durationMs),
                [&player, frequencyHz, durationMs] {
                    const std::string path = ToneFile(frequencyHz, durationMs);
                    if (!path.empty())
                        player.Play(path);
                });
}

void SetTestSink(std::function<void(const std::string& what)> sink) {
    CSoundPlayer::Get().SetSink(std::move(sink));
}

} // namespace sound
