#pragma once

#include <cstddef>

// Upper bounds that keep hostile or broken files from exhausting memory or time.
namespace SwfLimits {
// Largest uncompressed movie accepted, whatever its header declares.
inline constexpr std::size_t MaxMovieBytes = 64u * 1024 * 1024;
// Decoded items (actions, pushed values, shape edges, placements) kept for one movie.
inline constexpr std::size_t MaxDecodedItems = 1'000'000;
// Sprites defined inside sprites, and clips placed inside clips.
inline constexpr int MaxNesting = 32;
// Frames one timeline may have.
inline constexpr std::size_t MaxFrames = 16000;
// Clips and shapes instantiated for one level.
inline constexpr std::size_t MaxDisplayEntries = 100'000;
// Actions one script may execute before it is stopped.
inline constexpr std::size_t MaxActionsPerScript = 300'000;
// Actions all scripts of one level may execute in one frame; scripts beyond it are stopped.
inline constexpr std::size_t MaxActionsPerFrame = 2'000'000;
// Function calls and with and try blocks one script may have running inside each other.
inline constexpr int MaxCallDepth = 256;
// Values one script may hold on its stack.
inline constexpr std::size_t MaxStackDepth = 10'000;
// Characters of text and objects a level's scripts may create in total.
inline constexpr std::size_t MaxScriptTextChars = 16u * 1024 * 1024;
inline constexpr std::size_t MaxScriptObjects = 100'000;
// Longest single text a script may build.
inline constexpr std::size_t MaxTextLength = 1024 * 1024;
// Bitmaps: the widest side, the decoded size of one bitmap and of all bitmaps of a movie.
inline constexpr int MaxBitmapSide = 8192;
inline constexpr std::size_t MaxBitmapBytes = 64u * 1024 * 1024;
inline constexpr std::size_t MaxMovieBitmapBytes = 256u * 1024 * 1024;
} // namespace SwfLimits
