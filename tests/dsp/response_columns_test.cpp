// The batch response query against the filter's own column-by-column query.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/ResponseColumns.h"
#include "dsp/VerdanseEQ.h"

namespace hm::dsp {
namespace {

TEST(ResponseColumns, EqualTheFiltersOwnResponseAtEveryColumn) {
    struct Band {
        int type, slope;
        float hz, db, q;
    };
    const Band bands[] = {{kTypePeak, 2, 16000.0f, 12.0f, 2.0f}, {kTypeHighPass, 8, 40.0f, 0.0f, 0.7f},
                          {kTypeLowShelf, 2, 200.0f, -6.0f, 1.0f}, {kTypeNotch, 2, 3000.0f, 0.0f, 4.0f},
                          {kTypeLowPass, 5, 9000.0f, 0.0f, 1.0f},  {kTypeBandPass, 2, 700.0f, -3.0f, 2.0f}};
    std::vector<double> hz(1300);
    for (std::size_t i = 0; i < hz.size(); ++i) hz[i] = 20.0 * std::pow(1000.0, static_cast<double>(i) / 1299.0);
    for (float rate : {44100.0f, 96000.0f}) {
        ColumnPoints points;
        points.set(hz.data(), static_cast<int>(hz.size()), rate);
        for (const Band& band : bands) {
            VerdanseEQ eq;
            eq.setSampleRate(rate);
            eq.setDisabled(0);
            eq.setType(band.type);
            eq.setSlope(band.slope);
            eq.setFrequency(band.hz);
            eq.setGain(band.db);
            eq.setQ(band.q);
            eq.design();
            std::vector<double> re(hz.size()), im(hz.size());
            columnResponses(eq, points, re.data(), im.data());
            for (std::size_t i = 0; i < hz.size(); i += 13) {
                double r = 0.0, m = 0.0;
                eq.getResponse(hz[i], &r, &m);
                EXPECT_NEAR(re[i], r, 1e-9 * (1.0 + std::fabs(r))) << band.type << " at " << hz[i] << " Hz";
                EXPECT_NEAR(im[i], m, 1e-9 * (1.0 + std::fabs(m))) << band.type << " at " << hz[i] << " Hz";
            }
        }
    }
}

}  // namespace
}  // namespace hm::dsp
