// Cloud layers for tests: zero-filled on demand like the demo's static layers (only the
// pages a test touches become resident), optionally with guard elements on both sides.
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "lumora/types.h"

namespace test_layers {

struct FreeDeleter {
    void operator()(Lumora::TGLFX_Particle* p) const { std::free(p); }
};

// Layer of Size emitters with Guard extra elements before and after it, all filled with
// a byte pattern so that any write outside the layer shows.
class GuardedLayer {
  public:
    static constexpr unsigned char Pattern = 0xA5;

    GuardedLayer(size_t Size, size_t Guard) : size_(Size), guard_(Guard) {
        all_.reset(static_cast<Lumora::TGLFX_Particle*>(
            std::calloc(Size + 2 * Guard, sizeof(Lumora::TGLFX_Particle))));
        for (size_t i = 0; i < guard_; ++i) {
            std::memset(&all_.get()[i], Pattern, sizeof(Lumora::TGLFX_Particle));
            std::memset(&all_.get()[guard_ + size_ + i], Pattern, sizeof(Lumora::TGLFX_Particle));
        }
    }

    std::span<Lumora::TGLFX_Particle> Layer() { return {all_.get() + guard_, size_}; }

    bool GuardsIntact() const {
        const auto* bytes = reinterpret_cast<const unsigned char*>(all_.get());
        const size_t record = sizeof(Lumora::TGLFX_Particle);
        for (size_t i = 0; i < guard_ * record; ++i)
            if (bytes[i] != Pattern || bytes[(guard_ + size_) * record + i] != Pattern)
                return false;
        return true;
    }

  private:
    size_t size_, guard_;
    std::unique_ptr<Lumora::TGLFX_Particle, FreeDeleter> all_;
};

} // namespace test_layers
