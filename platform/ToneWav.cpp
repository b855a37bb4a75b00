#include "platform/ToneWav.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <numbers>
#include <set>
#include <system_error>

namespace {

constexpr unsigned kCacheRate = 44100;
constexpr unsigned kFadeMs = 5;
constexpr double kAmplitude = 0.6 * 32767; // loud enough, with room for resampling

void Put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

} // namespace

std::string MakeToneWav(unsigned hz, unsigned ms, unsigned sampleRate) {
    const std::uint64_t count = std::uint64_t{sampleRate} * ms / 1000;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(count * 2);

    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, sampleRate);
    Put32(out, sampleRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, dataBytes);

    // A fade of at most a quarter of the tone at each end, so short tones keep
    // a body at full level.
    const double fade = std::min<double>(std::uint64_t{sampleRate} * kFadeMs / 1000.0, count / 4.0);
    const double step = 2 * std::numbers::pi * hz / (sampleRate ? sampleRate : 1);
    for (std::uint64_t i = 0; i < count; ++i) {
        double gain = 1;
        const double fromEnd = static_cast<double>(count - 1 - i);
        const double edge = std::min(static_cast<double>(i), fromEnd);
        if (edge < fade)
            gain = 0.5 - 0.5 * std::cos(std::numbers::pi * edge / fade);
        const double v = kAmplitude * gain * std::sin(step * static_cast<double>(i));
        Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))));
    }
    return out;
}

std::string ToneCachePath(unsigned hz, unsigned ms) {
    const std::string name = "tone-" + std::to_string(hz) + "-" + std::to_string(ms) + ".wav";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return (std::filesystem::path(runtime) / ("tessary-" + name)).string();
    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error)
        temp = "/tmp";
    return (temp / ("tessary-" + std::to_string(getuid()) + "-" + name)).string();
}

std::string ToneFile(unsigned hz, unsigned ms) {
    static std::mutex mutex;
    static std::set<std::string> written;
    const std::string path = ToneCachePath(hz, ms);
    const std::string bytes = MakeToneWav(hz, ms, kCacheRate);

    std::lock_guard lock(mutex);
    std::error_code error;
    if (written.count(path) && std::filesystem::file_size(path, error) == bytes.size() && !error)
        return path;

    // Written beside the final name and renamed over it: a player never reads
    // half a file, and whatever stood there before (a link, a stale file of a
    // shared temp folder) is replaced rather than written through.
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return {};
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = (close(fd) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return {};
    }
    written.insert(path);
    return path;
}
