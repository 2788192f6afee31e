#include "RecordView.h"

#include <iomanip>

namespace quorvel_test {

RecordView RecordView::of(const TCData& record) {
    RecordView view = of(record.time, record.rateCode, record.dropFrame);
    view.subframes = record.subframes;
    return view;
}

RecordView RecordView::of(const TimeCodeTime& time, int rateCode, int dropFrame) {
    return {time.hours, time.minutes, time.seconds, time.frames, rateCode, dropFrame, 0};
}

std::ostream& operator<<(std::ostream& out, const RecordView& view) {
    const auto two = [&out](int value) -> std::ostream& {
        return out << std::setw(2) << std::setfill('0') << value;
    };
    two(view.hours) << ':';
    two(view.minutes) << ':';
    two(view.seconds) << ':';
    two(view.frames);
    return out << " rate " << view.rateCode << " df " << view.dropFrame << " sf " << view.subframes;
}

} // namespace quorvel_test
