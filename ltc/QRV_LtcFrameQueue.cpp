#include "QRV_LtcFrameQueue.h"

void QRV_LtcFrameQueue::push(const QRV_LtcFrame& frame) {
    if (size_ == kCapacity) {
        oldest_ = (oldest_ + 1) % kCapacity;
        --size_;
        ++dropped_;
    }
    frames_[(oldest_ + size_) % kCapacity] = frame;
    ++size_;
}

bool QRV_LtcFrameQueue::pop(QRV_LtcFrame& frame) {
    if (size_ == 0) {
        return false;
    }
    frame = frames_[oldest_];
    oldest_ = (oldest_ + 1) % kCapacity;
    --size_;
    return true;
}

void QRV_LtcFrameQueue::clear() {
    oldest_ = 0;
    size_ = 0;
}
