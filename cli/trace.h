// What the command line prints about the control's events: the JSON trace lines
// and the progress line of a terminal.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "events.h"
#include "variant.h"

namespace purgewell::cli {

// `text` as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

// One event as a JSON object on one line (no line break), named and keyed as the
// event interface names the event and its parameters.
std::string TraceLine(int32_t eventId, const std::vector<Variant>& args);

// Widens a 32-bit count from the events back to 64 bits, given the last value seen.
uint64_t Unwrap32(uint64_t previous, int32_t low);

// Prints events: trace lines to `trace` (when not null), a progress line to
// `progress` (when not null), and every error to `errors` as "purgewell: text".
class ConsoleEvents final : public PurgewellEvents {
 public:
  ConsoleEvents(FILE* trace, FILE* progress, FILE* errors)
      : trace_(trace), progress_(progress), errors_(errors) {}

  void Invoke(int32_t eventId, const std::vector<Variant>& args) override;

  // The file the next operation shreds and its size, for the percentage.
  void BeginFile(const std::string& path, uint64_t size);
  // Ends a progress line that is still open.
  void FinishLine();

 private:
  FILE* trace_;
  FILE* progress_;
  FILE* errors_;
  std::string file_;
  uint64_t size_ = 0;
  uint64_t done_ = 0;
  bool line_open_ = false;
  // Progress that was queued arrives after its file's end; it is not shown.
  std::string finished_;
};

}  // namespace purgewell::cli
