// When an answer counts as silent or clipped: one measure and one set of limits for the station,
// whose meter watches the microphone while it records, and for the receiver, whose check reads the
// recording back. Both measure the EBU R 128 momentary loudness (BS.1770, a 400 ms window, every
// 100 ms) of the mono recording with libebur128, the station on the captured sound through its
// gain library and the receiver on the decoded file.
//
// The figures come from recordings made through the station's own chain (capture, gain
// indicator, MP3 output) on a private sound server (verifier/tests/LoudnessChainTest.cpp prints
// them): Russian speech from espeak-ng mixed with brown room noise by sox (-40 dBFS), digital
// silence from a muted source, and the same speech 24 dB too loud.
#pragma once

namespace interview_format {

// A moment whose momentary loudness is at or below this is silent. The station's meter shows
// loudness from -50 LUFS up (see station/safeguards/SilenceWatch.h), so the limit lies just
// above its floor, where it falls between two of the meter's positions (2 and 3). Measured: the
// spoken answer read -27.3 LUFS integrated and was silent for 3% of its moments (its
// pauses, where the room is heard at about -58 LUFS); the muted source was silent throughout
// (digital silence has no loudness); the overdriven answer's quietest moment was -35 LUFS.
inline constexpr double SilenceLufs = -48.5;

// A recording silent for at least this share of its moments is nearly silent.
inline constexpr double SilentShareLimit = 0.9;

// A decoded sample at or beyond this magnitude (-0.09 dBFS) is on the limit. MP3 does not keep
// the flat tops of a clipped wave: they decode as a ripple around full scale, so only part of the
// clipped samples reach this level, while clean speech, even normalised to -1 dBFS, has none.
inline constexpr float ClipLevel = 0.99f;
// A recording with at least this share of its samples on the limit is clipped. Measured: the
// spoken answer had no sample on the limit, the overdriven one 0.58% of them.
inline constexpr double ClippedShareLimit = 0.001;

} // namespace interview_format
