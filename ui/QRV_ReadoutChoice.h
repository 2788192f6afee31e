#pragma once

// Which readouts the result row adds under its frame count and duration: feet+frames of 35 mm
// 4-perf and 16 mm film, samples at one sample rate. None by default. A plain value; any thread.

struct QRV_ReadoutChoice {
    static constexpr int kSampleRates[] = {44'100, 48'000, 96'000};

    bool feet35mm = false;
    bool feet16mm = false;
    bool samples = false;
    int sampleRate = 48'000; // one of kSampleRates

    bool any() const { return feet35mm || feet16mm || samples; }
    static bool isSampleRate(int rate) {
        for (int offered : kSampleRates) {
            if (offered == rate) {
                return true;
            }
        }
        return false;
    }

    friend bool operator==(const QRV_ReadoutChoice&, const QRV_ReadoutChoice&) = default;
};
