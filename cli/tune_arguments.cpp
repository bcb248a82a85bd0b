#include "cli/tune_arguments.h"

#include "cli/arguments.h"
#include "cli/geometry_source.h"
#include "model/circuit_record.h"
#include "model/message_quote.h"
#include "model/text_format.h"

#include <algorithm>

namespace sorrel {

const char* const kTuneUsage =
    "Usage: sorrel-cli tune (FILE.srl [--slot N] | GEOMETRY.json) [--temperature C]\n"
    "                       [--window-height MM] [--measured FINGERING=HZ]...\n"
    "                       [--measured-top FINGERING=HZ]... [--fingering STRING]...\n"
    "                       [--note FINGERING=HZ]... [--json]\n"
    "\n"
    "Predicts how every fingering of a finished instrument sounds: the resonance\n"
    "nearest its target (the top of the note's playing range) with its mode and\n"
    "the pitch as played, the second register and its stretch against the ideal\n"
    "octave (the twelfth for a closed mouthpiece), and the spread of each class\n"
    "of notes. The geometry comes from a calculated slot of a design file or\n"
    "from a geometry file.\n"
    "\n"
    "  --slot N                 slot 0 to 39 of the design file (0 by default)\n"
    "  --temperature C          air temperature in the bore, degrees Celsius\n"
    "                           (28 by default: breath)\n"
    "  --window-height MM       the window height (calibration value) to use\n"
    "  --measured FINGERING=HZ  a note measured as played, e.g. xxxxxx=587.3: the\n"
    "                           window height (for a closed mouthpiece, the\n"
    "                           added length) is fitted to every measured note,\n"
    "                           and from two notes the blowing level too; may be\n"
    "                           given more than once\n"
    "  --measured-top FINGERING=HZ\n"
    "                           a note measured at the top of its playing range,\n"
    "                           just before it breaks; may be given more than once\n"
    "  --fingering STRING       also predict this fingering: x closed, o open,\n"
    "                           the top hole first; may be given more than once\n"
    "  --note FINGERING=HZ      also predict this fingering's resonance nearest\n"
    "                           HZ, in any register; may be given more than once\n"
    "  --json                   print the prediction as one JSON object\n"
    "  -h, --help               show this help\n"
    "\n"
    "Exit status: 0 every resonance found, 1 usage error, 2 the file could not\n"
    "be read or gives no geometry, 3 a resonance was not found within 200 cents\n"
    "of where it was sought, or the measured note could not be fitted.\n";

namespace {

ParsedTuneArguments usage_error(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

std::optional<MeasuredNote> measured_note(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return std::nullopt;
    const std::optional<double> frequency = parse_whole_number(text.substr(equals + 1));
    if (!frequency || *frequency <= 0)
        return std::nullopt;
    return MeasuredNote{text.substr(0, equals), *frequency};
}

ParsedTuneArguments parse_tune_arguments(const std::vector<std::string>& args) {
    TuneArguments parsed;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
        if (arg == "-h" || arg == "--help") {
            TuneArguments help;
            help.help = true;
            return {help, {}};
        } else if (arg == "--slot") {
            parsed.slot = value ? parse_slot_number(*value) : std::nullopt;
            if (!parsed.slot)
                return usage_error("--slot needs a slot number from 0 to 39");
            ++i;
        } else if (arg == "--temperature") {
            parsed.temperature = value ? parse_whole_number(*value) : std::nullopt;
            if (!parsed.temperature)
                return usage_error("--temperature needs a number of degrees Celsius");
            ++i;
        } else if (arg == "--window-height") {
            parsed.windowHeight = value ? parse_whole_number(*value) : std::nullopt;
            if (!parsed.windowHeight || *parsed.windowHeight < 0)
                return usage_error("--window-height needs a number of millimetres, 0 or more");
            ++i;
        } else if (arg == "--measured" || arg == "--measured-top" || arg == "--note") {
            std::optional<MeasuredNote> note = value ? measured_note(*value) : std::nullopt;
            if (!note)
                return usage_error(arg + " needs FINGERING=HZ, e.g. xxxxxx=587.3");
            note->played = arg == "--measured";
            (arg == "--note" ? parsed.notes : parsed.measured).push_back(*note);
            ++i;
        } else if (arg == "--fingering") {
            if (!value)
                return usage_error("--fingering needs a fingering such as xxxooo");
            parsed.fingerings.push_back(*value);
            ++i;
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg.starts_with("-")) {
            return usage_error("unknown option for tune: " + quote_for_message(arg));
        } else if (haveFile) {
            return usage_error("only one file is taken: " + quote_for_message(arg));
        } else {
            parsed.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile)
        return usage_error("tune needs a design file or a geometry file");
    if (parsed.slot && is_geometry_file(parsed.file))
        return usage_error("--slot applies to a design file, not a geometry file");
    return {parsed, {}};
}

} // namespace sorrel
