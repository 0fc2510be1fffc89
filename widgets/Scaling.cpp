#include "widgets/Scaling.h"

#include <cstdint>

namespace ui {

namespace {

int mulDivRounded(int value, int numerator, int denominator) {
    std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    std::int64_t half = denominator / 2;
    std::int64_t result =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(result);
}

} // namespace

int ScaleTo(int design, int ppi) {
    return mulDivRounded(design, ppi, kDesignPixelsPerInch);
}

int ScaleFontHeightTo(int height, int ppi) {
    constexpr int kPointsPerInch = 72;
    int points = mulDivRounded(height, kPointsPerInch, kDesignPixelsPerInch);
    return mulDivRounded(points, ppi, kPointsPerInch);
}

int UnscaleFrom(int screen, int ppi) {
    return mulDivRounded(screen, kDesignPixelsPerInch, ppi);
}

int UnscaleUpFrom(int screen, int ppi) {
    if (screen <= 0)
        return UnscaleFrom(screen, ppi);
    std::int64_t product = static_cast<std::int64_t>(screen) * kDesignPixelsPerInch;
    return static_cast<int>((product + ppi - 1) / ppi);
}

} // namespace ui
