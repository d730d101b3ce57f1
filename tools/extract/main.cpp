// Extract.dll: unpacks the program's .zip packages. Despite its name it is a
// console program; the main program and the updater start it as
//   Extract.dll x "archive" -o"folder\" *.* -r -y [-ppassword]
// and read its exit code.
#include "tools/extract/CommandLine.h"
#include "tools/extract/Console.h"
#include "tools/extract/ExitCode.h"
#include "tools/extract/ZipExtractor.h"

#include <new>

int main()
{
    try {
        // The C runtime's argument splitting reads the "\"" at the end of
        // -o"folder\" as an escaped quote, so the raw command line is split here.
        const std::optional<ExtractCommand> command =
            ParseExtractCommand(SplitCommandLine(GetCommandLineW()));
        if (!command) {
            PrintError(L"usage: Extract.dll x \"archive\" -o\"folder\" *.* -r -y [-ppassword]");
            return kExitBadCommandLine;
        }
        return ExtractArchive(*command);
    } catch (const std::bad_alloc&) {
        return kExitOutOfMemory;
    }
}
