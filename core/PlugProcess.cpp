// The processing entry: host buffers through the channel model and the filter bank.
#include "core/Plug.h"

namespace hm {

void Plug::processDouble(double** inputs, double** outputs, int frames) { processor_->process(inputs, outputs, frames); }

void Plug::processFloat(float** inputs, float** outputs, int frames) { processor_->process(inputs, outputs, frames); }

float Plug::getChannelLevel(int channel) { return static_cast<float>(processor_->channelLevel(channel)); }

float Plug::getOutputLevel(int channel) { return static_cast<float>(processor_->outputLevel(channel)); }

void Plug::setMeterPoint(bool input) {
    std::lock_guard lock(updateMutex_);
    processor_->draft().meterInput = input;
    processor_->publish();
}

int Plug::readAnalyserHistory(double* out, int count, int source) {
    return processor_->rings().readHistory(out, count, source, channels_);
}

}  // namespace hm
