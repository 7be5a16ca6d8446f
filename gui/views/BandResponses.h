#pragma once
// The graph's curves from the filter engine. Each band is designed by the
// engine's own filter object (the same design and response query the filter
// bank runs) from the settings the bank receives for it, and evaluated at
// every pixel column; a band is designed and evaluated again only when its
// settings or the columns changed. The objects belong to the graph and live
// on the UI thread, so reading them never races the audio thread or the
// bank's update, and the curves keep showing the equaliser while the bank
// itself plays something else (a band heard alone through AutoListen, a
// bypassed band designed to unity).
//
// queryResponses() is the one place where the curves meet the engine's
// response query: a faster batch query slots in there.
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/views/GraphBands.h"

namespace hm::dsp {
class EQ;
class VerdanseEQ;
}  // namespace hm::dsp

namespace hm::gui::graph {

// H at each frequency of a designed filter.
void queryResponses(const dsp::EQ& filter, const double* hz, int count, double* re, double* im);

class BandResponses {
public:
    BandResponses();
    ~BandResponses();
    BandResponses(const BandResponses&) = delete;
    BandResponses& operator=(const BandResponses&) = delete;

    // The frequency of every column; all bands are evaluated again on the next update.
    void setColumns(std::vector<double> hz);
    int columns() const { return static_cast<int>(hz_.size()); }
    const std::vector<double>& columnFrequencies() const { return hz_; }

    // Brings the bands in `wanted` (bit b = band b) up to date with `set`.
    // Returns the bands whose curves changed.
    std::uint32_t update(const BandSet& set, std::uint32_t wanted);
    // Forgets every design (the next update evaluates all wanted bands).
    void invalidate();

    // Per column: the band's own response (valid after an update that wanted it).
    const double* re(int band) const;
    const double* im(int band) const;
    const float* db(int band) const;
    // The band's own response at its centre frequency, dB (floored at −120).
    double centreDb(int band) const;

    // Per column, the dB of one view's total: the active bands (State 2) of the
    // view multiplied, those the "Parallel" mode sums adding H − 1 to the dry path.
    void viewTotal(const BandSet& set, int view, float* outDb) const;

private:
    struct Band;
    std::vector<std::unique_ptr<Band>> bands_;
    std::vector<double> hz_;
    double sampleRate_ = 0.0;
};

}  // namespace hm::gui::graph
