// The arithmetic of the skinned controls, free of any window: slider and
// progress positions, scroll-bar thumb geometry.
#pragma once

namespace qx::layout {

// Position of a slider for a point x on its track. The thumb's own width is
// taken off the track's right end. Ranges 1-3, 1-5 and 1-10 snap to their
// maximum beyond 2.87, 4.75 and 9.75 so the last step is easy to hit.
inline int SliderPositionAt(int minimum, int maximum, int x, int trackLeft, int trackRight,
                            int thumbWidth) {
    const int span = trackRight - thumbWidth - trackLeft;
    if (span <= 0 || maximum <= minimum) return minimum;
    const double exact = minimum + static_cast<double>(maximum - minimum) * (x - trackLeft) / span;
    if (minimum == 1) {
        if (maximum == 3 && exact > 2.87) return 3;
        if (maximum == 5 && exact > 4.75) return 5;
        if (maximum == 10 && exact > 9.75) return 10;
    }
    int pos = static_cast<int>(exact);
    if (exact < minimum) pos = minimum;
    if (pos > maximum) pos = maximum;
    if (pos < minimum) pos = minimum;
    return pos;
}

// Left edge of the thumb for a position (the inverse of the above).
inline int SliderThumbLeft(int minimum, int maximum, int pos, int trackLeft, int trackRight,
                           int thumbWidth) {
    const int span = trackRight - thumbWidth - trackLeft;
    if (span <= 0 || maximum <= minimum) return trackLeft;
    if (pos < minimum) pos = minimum;
    if (pos > maximum) pos = maximum;
    return trackLeft +
           static_cast<int>(static_cast<long long>(pos - minimum) * span / (maximum - minimum));
}

struct ScrollGeometry {
    int arrow = 0;       // length of each arrow
    int track = 0;       // length between the arrows
    int thumbStart = 0;  // from the bar's start; meaningful when hasThumb
    int thumbLength = 0;
    bool hasThumb = false;
};

inline constexpr int kMinThumb = 6;

// length: the bar's long side; width: its short side (the arrow's side).
inline ScrollGeometry ComputeScrollGeometry(int length, int width, int minimum, int maximum,
                                            int page, int pos) {
    ScrollGeometry g;
    g.arrow = length < 2 * width ? length / 2 : width;
    g.track = length - 2 * g.arrow;
    const int range = maximum - minimum;
    const int span = range - page + 1;
    if (g.track < kMinThumb || span <= 0 || range < 0) return g;
    g.thumbLength = page * g.track / (range + 1);
    if (g.thumbLength < kMinThumb) g.thumbLength = kMinThumb;
    if (g.thumbLength > g.track) g.thumbLength = g.track;
    int rel = pos - minimum;
    if (rel < 0) rel = 0;
    if (rel > span) rel = span;
    g.thumbStart =
        g.arrow + static_cast<int>(static_cast<long long>(rel) * (g.track - g.thumbLength) / span);
    g.hasThumb = true;
    return g;
}

// Scroll position for a thumb whose start lies at thumbStart (dragging).
inline int ScrollPositionForThumb(const ScrollGeometry& g, int minimum, int maximum, int page,
                                  int thumbStart) {
    const int span = maximum - minimum - page + 1;
    const int free = g.track - g.thumbLength;
    if (span <= 0 || free <= 0) return minimum;
    int rel = thumbStart - g.arrow;
    if (rel < 0) rel = 0;
    if (rel > free) rel = free;
    return minimum + static_cast<int>(static_cast<long long>(rel) * span / free);
}

}  // namespace qx::layout
