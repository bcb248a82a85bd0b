#pragma once
// The design file: a line-oriented text file holding the whole bank and the
// global corrections. Written files are byte-exact (7 header lines, 40
// sections of 166 lines, "[EOF]", line feeds only); the reader takes them
// back by key prefix.
//
// Writer and reader do not agree on every key, and files depend on that:
// "TOCU" is written without "=", so its value never comes back; "UNIT=" and
// the hand-made "UNITS=" both set the entry unit; "SP04=" sets LBRA. The bore
// at each hole (BDI, BDC) is not in the file.

#include "files/file_stamp.h"
#include "files/safe_write.h"
#include "model/circuit_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace sorrel {

// A message the reader's version rules raise, for the caller to show.
struct VersionMessage {
    std::string text;
    std::string title;
};

struct ReadOutcome {
    bool opened = false;                  // false: nothing was read or changed
    std::string error;                    // "<path>: <reason>", when not opened
    std::vector<VersionMessage> messages; // in the order they are to be shown
    FileStamp stamp;                      // the version of the file read, when opened
};

// The bytes of a design file for `bank` and `corrections`.
std::string write_design_text(const CircuitBank& bank, const GlobalCorrections& corrections);

// Writes the file as write_file_safely writes any file: a failed save never
// destroys the previous file.
WriteOutcome write_design_file(const std::string& path, const CircuitBank& bank,
                               const GlobalCorrections& corrections);

// Applies the lines of `bytes` to `bank` and `corrections`, then the version
// rules. Fields the text does not set keep their values. Lines before the
// first "[CIRCUIT]" go to slot 0; lines after a "[CIRCUIT]" outside the bank
// are ignored (the global keys excepted) until the next valid one. Reading
// stops at "[EOF]" or at the end of the bytes; one carriage return before a
// line feed is dropped, and only the first 78 characters of a line count. An
// integer outside the 32-bit range is no number: a "[CIRCUIT]" line with one
// leaves the bank, a key line with one leaves its field. A slot whose entry
// unit changes has its bore at each hole converted as the unit switch does.
// Any bytes are safe.
std::vector<VersionMessage> read_design_text(std::string_view bytes, CircuitBank& bank,
                                             GlobalCorrections& corrections);

// Reads the named file as `read_design_text` does. Refused, changing
// nothing: anything but a regular file (a FIFO is never waited on), a file
// of more than 16 MiB, which no design file comes near, and a file that is
// not empty yet has not one line the reader knows ("not a design file": a
// picture or a document named by mistake). An empty file is an empty design.
ReadOutcome read_design_file(const std::string& path, CircuitBank& bank,
                             GlobalCorrections& corrections);

} // namespace sorrel
