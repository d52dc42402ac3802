#pragma once
// The processor feature word: which instruction sets the processor offers,
// decided from the registers of the processor identification instruction.

#include <cstdint>

namespace vo {

constexpr uint32_t kCpuComputed = 0x1;  // always set: the word has been computed
constexpr uint32_t kCpuMmx = 0x2;
constexpr uint32_t kCpuSse = 0x4;
constexpr uint32_t kCpuSse2 = 0x8;
constexpr uint32_t kCpuSse3 = 0x10;
constexpr uint32_t kCpuSsse3 = 0x20;
constexpr uint32_t kCpuSse4a = 0x40;
constexpr uint32_t kCpuSse41 = 0x80;
constexpr uint32_t kCpuSse42 = 0x100;
constexpr uint32_t kCpuAvx = 0x200;
constexpr uint32_t kCpuLongMode = 0x400;
constexpr uint32_t kCpuLowPower = 0x10000;

// What the identification instruction answered. Leaf 1 and the extended leaf
// are only looked at when the highest leaf numbers say they exist.
struct CpuidFacts {
  uint32_t max_leaf = 0;     // leaf 0, EAX
  char vendor[13] = {};      // leaf 0, EBX EDX ECX
  uint32_t leaf1_eax = 0;    // family and model
  uint32_t leaf1_ecx = 0;
  uint32_t leaf1_edx = 0;
  uint64_t xcr0 = 0;         // XGETBV(0); only read when leaf 1 ECX reports OSXSAVE
  uint32_t max_extended_leaf = 0;
  uint32_t extended_ecx = 0;  // leaf 0x80000001
  uint32_t extended_edx = 0;
};

uint32_t ComputeProcessorFeatures(const CpuidFacts& facts);

}  // namespace vo
