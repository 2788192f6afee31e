#include "MTCStream.h"

namespace mtcgen {

MTCStream::MTCStream(const TimeCodeTime& start, int rateCode)
    : address_(start)
    , rateCode_(rateCode) {
    timeCodeDef(rateCode); // refuses a rate code outside 0-3 now, not at the first message
}

Message MTCStream::next() {
    Message message = quarterFrame(address_, rateCode_, piece_);
    if (++piece_ == 8) {
        piece_ = 0;
        address_ = addFrames(address_, rateCode_, 2);
    }
    return message;
}

std::chrono::nanoseconds MTCStream::quarterFrameInterval() const {
    return std::chrono::nanoseconds(
        static_cast<long long>(1e9 / (4.0 * framesPerSecond(rateCode_))));
}

} // namespace mtcgen
