#include "CliHelp.h"

namespace {

const char* const kGeneralHelp =
    "Usage: radarcli <command> [options]\n"
    "       radarcli [--port PATH] [--baud N] [--seconds N]   (the same as radarcli watch)\n"
    "\n"
    "Records, replays and configures the presence-radar module on a serial port.\n"
    "\n"
    "Commands:\n"
    "  record   record modules into .dat + .idx files and a diagnostic log\n"
    "  replay   decode a recording: description, CSV of its reports, label summary\n"
    "  params   read, write, reset, save, compare or restore the module's parameters\n"
    "  watch    print the firmware version and the reports for a few seconds\n"
    "\n"
    "PATH is a serial device (/dev/ttyUSB0, a pseudo-terminal) or sim for the built-in\n"
    "simulated module. 'radarcli <command> --help' tells more.\n"
    "\n"
    "Exit codes:\n"
    "  0  success\n"
    "  1  the work failed: cannot connect, cannot write, link lost, module refused\n"
    "     or a parameter reads back differently\n"
    "  2  bad command line (nothing was done)\n"
    "  3  not a usable recording: missing, unreadable, empty, not a .dat, cut short\n"
    "  4  not a usable parameter snapshot (params diff, restore)\n"
    "  5  the module differs from the snapshot (params diff)\n";

const char* const kWatchHelp =
    "Usage: radarcli watch [--port PATH] [--baud N] [--seconds N]\n"
    "Prints the module's firmware version and each report it sends for N seconds\n"
    "(default 3; 0 only connects). Without --port the simulated module is used.\n"
    "  --port PATH    serial device, or sim\n"
    "  --baud N       baud rate (default 256000)\n"
    "  --seconds N    how long to print reports\n"
    "SIGINT or SIGTERM ends it early with the module told to stop. Exit codes: 0, 1, 2.\n";

const char* const kRecordHelp =
    "Usage: radarcli record --port PATH [--port PATH ...] [--baud N] [--seconds S] [--out DIR]\n"
    "Connects to each module as the window does, starts its reports and records every\n"
    "byte into a dated TivanePeloTOOL_*.dat with its capture index (.dat.idx) beside it,\n"
    "one pair per port, and writes one diagnostic log (TivanePeloTOOL_*.log) for the run.\n"
    "Runs for S seconds, or until SIGINT (Ctrl-C) or SIGTERM; either way it stops cleanly:\n"
    "the module is told to stop and every file is closed whole.\n"
    "  --port PATH    serial device, or sim (sim may be given more than once)\n"
    "  --baud N       baud rate of every port (default 256000)\n"
    "  --seconds S    stop after S seconds (default: run until stopped)\n"
    "  --out DIR      folder for the files, made when missing (default: Log in the\n"
    "                 current directory)\n"
    "Prints one line per port with its files at the start and its totals at the end;\n"
    "on a terminal also a progress line once a second.\n"
    "Exit codes: 0 recorded; 1 cannot connect, cannot write, or a link was lost (what\n"
    "was recorded until then is kept whole); 2 bad command line.\n";

const char* const kReplayHelp =
    "Usage: radarcli replay FILE.dat [--csv OUT.csv|- [--figures FIG.csv]] [--summary]\n"
    "                       [--plot OUT.png [--width W] [--height H] [--lang en|zh]]\n"
    "Decodes a recording through the tool's own report decoder, paced by its capture\n"
    "index (or, without a usable one, at the report interval, which is said on stderr).\n"
    "Without options prints its duration, reports per state and how it was paced.\n"
    "  --csv OUT      write one CSV row per report (time_ms, wall_time, state,\n"
    "                 state_name, distance_cm, label); OUT is replaced only when the\n"
    "                 whole file could be written, and its figures go to\n"
    "                 OUT.figures.csv; - writes the rows to standard output\n"
    "  --figures FIG  the figures (time, share and distances per state) to FIG instead;\n"
    "                 with --csv - they are written only when this is given\n"
    "  --summary      print how the module agreed with the ground-truth labels\n"
    "                 (\"no labels\" when the recording has none)\n"
    "  --plot OUT     draw the whole recording (distance, states, labels) as a PNG,\n"
    "                 W x H pixels (1600 x 500 unless told, each 200 to 16000, at\n"
    "                 most 40 million pixels in all), in English or Chinese (without\n"
    "                 --lang: as appConfig.xml beside radarcli chooses for the window)\n"
    "Files written are only ever new ones or regular files replaced whole; a device,\n"
    "FIFO, socket, folder or symbolic link in their place is refused (exit 2).\n"
    "Exit codes: 0 done; 1 the CSV or the picture cannot be written; 2 bad command line\n"
    "or an output that is not a regular file;\n"
    "3 FILE is missing, unreadable, empty, not a .dat, cannot be read whole or holds no\n"
    "valid report (nothing is written).\n";

const char* const kParamsHelp =
    "Usage: radarcli params read    --port PATH [--baud N] [--json]\n"
    "       radarcli params write   --port PATH [--baud N] --set NAME=VALUE [--set ...]\n"
    "       radarcli params reset   --port PATH [--baud N]\n"
    "       radarcli params save    FILE --port PATH [--baud N] [--replace]\n"
    "       radarcli params diff    FILE --port PATH [--baud N]\n"
    "       radarcli params restore FILE --port PATH [--baud N] [--out DIR]\n"
    "The module's 18 detection parameters, by their appConfig.xml names:\n"
    "  nMotionlessRangeMin, nMotionlessRangeMax, nMotionRangeMin, nMotionRangeMax (cm,\n"
    "  0 to 65535), nOffTime (units of 100 ms, 0 to 65535), nMotionIIR, nMotionlessIIR,\n"
    "  nMotionWindowRange, nMotionlessWindowRange (0 to 255), fMotionNearEndCoef,\n"
    "  fMotionFarEndCoef, fMotionlessNearEndCoef, fMotionlessFarEndCoef, fKalman1 to\n"
    "  fKalman4 (decimal numbers like 0.85), nDistanceCalibration (32-bit whole number).\n"
    "read      prints them as NAME=VALUE lines, or with --json as a snapshot.\n"
    "write     sets the ones given, one command each; reset sets the basic five (the\n"
    "          ranges and nOffTime) to the module's power-up defaults. Both read all 18\n"
    "          back, print them, and fail naming every field that reads back differently.\n"
    "          A module of protocol version 1 sets only the basic five.\n"
    "save      writes the module's values, firmware version, port and time to FILE as a\n"
    "          JSON snapshot; an existing FILE is kept unless --replace is given.\n"
    "diff      prints every field where the module differs from snapshot FILE.\n"
    "restore   saves what the module holds as a dated backup in DIR (default Log in the\n"
    "          current directory), then writes the fields that differ from FILE and reads\n"
    "          all back; when cut short it says which fields were applied.\n"
    "Exit codes: 0 done (diff: no difference); 1 cannot connect, no answer, refused, a\n"
    "field read back differently, the file cannot be written, or stopped by SIGINT or\n"
    "SIGTERM (command mode is still left); 2 bad command line, or a FILE to save that is\n"
    "not a regular file (a folder, FIFO or link);\n"
    "4 FILE is not a usable snapshot (the module was not touched); 5 diff found differences.\n";

}  // namespace

const char* HelpText(CliCommand command)
{
    switch (command) {
    case CliCommand::Watch: return kWatchHelp;
    case CliCommand::Record: return kRecordHelp;
    case CliCommand::Replay: return kReplayHelp;
    case CliCommand::Params: return kParamsHelp;
    case CliCommand::None: break;
    }
    return kGeneralHelp;
}
