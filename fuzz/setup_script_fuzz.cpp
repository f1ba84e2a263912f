// Any bytes as a setup script: parsing never overruns a table, and what it
// fills stays within the tables' limits and in script order.
#include <cstdlib>
#include <cstring>

#include "setup/script.h"

namespace {

void checkName(const char* name)
{
    if (strnlen(name, kMaxScriptName + 1) > static_cast<size_t>(kMaxScriptName)) abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SetupScript* script = new SetupScript();
    std::string failure;
    int result = parseSetupScript(data, size, *script, &failure);
    if (result != 0 && failure.find("\nSetup not complete!") == std::string::npos) abort();
    if (result == 0 && !failure.empty()) abort();
    if (script->directoryCount < 0 || script->directoryCount > kMaxScriptEntries) abort();
    if (script->fileCount < 0 || script->fileCount > kMaxScriptEntries) abort();
    if (script->diskChangeCount < 0 || script->diskChangeCount > kMaxDiskChanges) abort();
    for (int i = 0; i < script->directoryCount; ++i) checkName(script->directoryNames[i]);
    for (int i = 0; i < script->fileCount; ++i) {
        checkName(script->sourceNames[i]);
        checkName(script->destinationNames[i]);
    }
    int32_t previous = 0;
    for (int i = 0; i < script->diskChangeCount; ++i) {
        const DiskChange& change = script->diskChanges[i];
        if (strnlen(change.label, sizeof change.label) >= sizeof change.label) abort();
        if (change.beforeFile < previous || change.beforeFile > script->fileCount) abort();
        previous = change.beforeFile;
    }
    return 0;
}
