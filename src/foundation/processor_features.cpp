#include "processor_features.h"

#include <cstring>

namespace vo {

namespace {

bool Bit(uint32_t value, int bit) { return (value >> bit) & 1u; }

}  // namespace

uint32_t ComputeProcessorFeatures(const CpuidFacts& facts) {
  uint32_t word = kCpuComputed;
  if (facts.max_leaf >= 1) {
    const uint32_t ecx = facts.leaf1_ecx, edx = facts.leaf1_edx;
    if (Bit(edx, 23)) word |= kCpuMmx;
    if (Bit(edx, 25)) word |= kCpuSse;
    if (Bit(edx, 26)) word |= kCpuSse2;
    if (Bit(ecx, 0)) word |= kCpuSse3;
    if (Bit(ecx, 9)) word |= kCpuSsse3;
    if (Bit(ecx, 19)) word |= kCpuSse41;
    if (Bit(ecx, 20)) word |= kCpuSse42;
    // AVX needs the system to save the wide registers too: the XCR0 value is
    // only meaningful when OSXSAVE (bit 27) is set.
    if (Bit(ecx, 28) && Bit(ecx, 27) && (facts.xcr0 & 0x6) == 0x6) word |= kCpuAvx;

    const uint32_t family = (facts.leaf1_eax >> 8) & 0xF;
    const uint32_t model = ((facts.leaf1_eax >> 16) & 0xF) * 16 + ((facts.leaf1_eax >> 4) & 0xF);
    if (std::strncmp(facts.vendor, "Genu", 4) == 0 && family == 6 && (model == 28 || model == 38 || model == 54)) {
      word |= kCpuLowPower;
    }
  }
  if (facts.max_extended_leaf >= 0x80000001u) {
    if (Bit(facts.extended_ecx, 6)) word |= kCpuSse4a;
    if (Bit(facts.extended_edx, 29)) word |= kCpuLongMode;
  }
  return word;
}

}  // namespace vo
