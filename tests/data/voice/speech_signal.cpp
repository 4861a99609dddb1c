#include "voice_data.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace voicedata {

namespace {

constexpr double kRate = 8000.0;
constexpr double kPi = 3.14159265358979323846;

// Two-pole resonator, a crude vocal-tract formant.
struct Resonator {
    double a1 = 0, a2 = 0, gain = 0, y1 = 0, y2 = 0;
    Resonator(double freq, double bandwidth) {
        const double r = std::exp(-kPi * bandwidth / kRate);
        a1 = 2 * r * std::cos(2 * kPi * freq / kRate);
        a2 = -r * r;
        gain = 1 - r;
    }
    double Step(double x) {
        const double y = gain * x + a1 * y1 + a2 * y2;
        y2 = y1;
        y1 = y;
        return y;
    }
};

} // namespace

std::vector<std::int16_t> SpeechSignal(double seconds, unsigned seed) {
    const auto total = static_cast<std::size_t>(std::max(0.0, seconds) * kRate);
    std::vector<std::int16_t> pcm;
    pcm.reserve(total);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uni(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, 1.0);

    bool talking = true;
    while (pcm.size() < total) {
        const auto length = static_cast<std::size_t>(
            (talking ? 0.8 + 0.8 * uni(rng) : 0.5 + 1.0 * uni(rng)) * kRate);
        if (talking) {
            // Syllables of about 200 ms with a gliding pitch and formants.
            Resonator f1(400 + 400 * uni(rng), 80), f2(1200 + 800 * uni(rng), 120), f3(2500, 200);
            const double pitch0 = 100 + 80 * uni(rng);
            const double syllable = 0.15 + 0.1 * uni(rng);
            double phase = 0;
            for (std::size_t i = 0; i < length && pcm.size() < total; ++i) {
                const double t = static_cast<double>(i) / kRate;
                const double pitch = pitch0 * (1 + 0.1 * std::sin(2 * kPi * 1.5 * t));
                phase += pitch / kRate;
                double excitation = 0;
                if (phase >= 1) {
                    phase -= 1;
                    excitation = 1;
                }
                excitation += 0.02 * noise(rng);
                const double voiced =
                    f1.Step(excitation) * 3 + f2.Step(excitation) * 2 + f3.Step(excitation);
                const double envelope =
                    std::pow(std::sin(kPi * std::fmod(t, syllable) / syllable), 2);
                const double v = 24000 * envelope * voiced + 20 * noise(rng);
                pcm.push_back(static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0)));
            }
        } else {
            for (std::size_t i = 0; i < length && pcm.size() < total; ++i)
                pcm.push_back(static_cast<std::int16_t>(std::lround(20 * noise(rng))));
        }
        talking = !talking;
    }
    return pcm;
}

} // namespace voicedata
