#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/option_entry.h"

namespace tolvane {

// The choices a prediction is made with, as the front ends (command line, window, evaluation)
// hold them. The engine takes 32-bit codes; EngineCode is the one place that converts.
enum class FilterKind { LowPass, BandPass, None };
enum class FrameMode { Head, Tail, Center, HeadTail };

// In the order of the window's buttons; the first entry is the default.
inline constexpr std::array<OptionEntry<FilterKind>, 3> kFilterKinds = {{
    {FilterKind::LowPass, "lpf", "LPF"},
    {FilterKind::BandPass, "bpf", "BPF"},
    {FilterKind::None, "none", "NONE"},
}};
inline constexpr std::array<OptionEntry<FrameMode>, 4> kFrameModes = {{
    {FrameMode::Head, "head", "_FFT_HEAD"},
    {FrameMode::Tail, "tail", "_FFT_TAIL"},
    {FrameMode::Center, "center", "_FFT_CENTER"},
    {FrameMode::HeadTail, "headtail", "_FFT_HEADTAIL"},
}};

std::string_view Word(FilterKind kind);
std::string_view Word(FrameMode mode);
std::optional<FilterKind> FilterKindFromWord(std::string_view word);
std::optional<FrameMode> FrameModeFromWord(std::string_view word);

// The engine's iFType and fftFlag codes (0 low-pass, 1 band-pass, 2 none; 0 head, 1 tail,
// 2 centre, -1 head and tail).
std::int32_t EngineCode(FilterKind kind);
std::int32_t EngineCode(FrameMode mode);

}  // namespace tolvane
