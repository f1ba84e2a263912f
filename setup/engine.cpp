#include "setup/engine.h"

#include <cstring>

#include "platform/files.h"

SetupState installer;

namespace {

const char* const kFatalCaption = "Fatal error";

int fatal(const SetupFace& face, const std::string& text)
{
    closeCopyStreams();
    face.message(text.c_str(), kFatalCaption, MessageIcon::Stop);
    return 1;
}

// Announces every disk change recorded before the entry about to be opened.
// Two changes before the same entry are both announced, in order, so a second
// one never stays pending and silences the prompts after it.
void announceDiskChanges(const SetupFace& face)
{
    const SetupScript& script = installer.script;
    while (installer.nextDiskChange < script.diskChangeCount &&
           script.diskChanges[installer.nextDiskChange].beforeFile == installer.currentFile) {
        std::string text = std::string("Please insert disk number ") +
                           script.diskChanges[installer.nextDiskChange].label +
                           "\nPress OK to continue installation";
        face.message(text.c_str(), "Disk Change", MessageIcon::Information);
        ++installer.nextDiskChange;
    }
}

// The open pass of a file pair: prompts, fills the fields, opens both files.
int openFilePair(const SetupFace& face)
{
    const SetupScript& script = installer.script;
    announceDiskChanges(face);
    bool haveEntry = installer.currentFile < script.fileCount;
    const char* source = haveEntry ? script.sourceNames[installer.currentFile] : "";
    std::string destination = haveEntry ? destinationPath(installer.currentFile) : installer.installDirectory;
    face.showFilePair(source, destination.c_str());
    installer.openNextFile = false;

    // A script without file entries has nothing to open.
    installer.source = haveEntry ? openFile(source, "rb") : nullptr;
    if (!installer.source) return fatal(face, "Source file could not be opened!\nAborting setup!");
    installer.destination = openFile(destination.c_str(), "wb");
    if (!installer.destination) return fatal(face, "Destination file could not be created!\nAborting setup!");
    // The saver must stay executable; a medium or disk without permission bits just keeps its own.
    copyFileMode(installer.source, installer.destination);
    return 0;
}

// One copy step of the open pair; closes it and moves on when the source is exhausted.
int copyStep(const SetupFace& face)
{
    static char buffer[kCopyStepBytes];
    std::string destination = destinationPath(installer.currentFile);
    size_t got = fread(buffer, 1, sizeof buffer, installer.source);
    if (got > 0 && fwrite(buffer, 1, got, installer.destination) != got)
        return fatal(face, "Destination file could not be written!\n" + destination + "\nAborting setup!");
    installer.copiedBytes += static_cast<int64_t>(got);
    if (got == sizeof buffer) return 0;

    // A short read is the end of the source, unless it was a read error.
    if (ferror(installer.source))
        return fatal(face, std::string("Source file could not be read!\n") +
                           installer.script.sourceNames[installer.currentFile] + "\nAborting setup!");
    fclose(installer.source);
    installer.source = nullptr;
    // The close writes what is still buffered, so a full disk may show only here.
    int closed = fclose(installer.destination);
    installer.destination = nullptr;
    if (closed != 0)
        return fatal(face, "Destination file could not be written!\n" + destination + "\nAborting setup!");
    installer.openNextFile = true;
    if (++installer.currentFile >= installer.script.fileCount) installer.setupFinished = true;
    return 0;
}

} // namespace

void resetSetup()
{
    closeCopyStreams();
    installer.installDirectory[0] = '\0';
    strcpy(installer.setupScript, "setup.xdt");
    installer.copiedBytes = 0;
    installer.currentFile = 0;
    installer.nextDiskChange = 0;
    installer.openNextFile = true;
    installer.copyActive = false;
    installer.setupFinished = false;
    resetSetupScript(installer.script);
}

std::string destinationPath(int entry)
{
    return std::string(installer.installDirectory) + installer.script.destinationNames[entry];
}

int readSetupScript(const SetupFace& face)
{
    std::string bytes;
    if (readWholeFile(installer.setupScript, bytes, kMaxSetupScriptBytes) != 0)
        return fatal(face, "Could not open setup file!\nSetup not complete!");
    std::string failure;
    if (parseSetupScript(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), installer.script, &failure) != 0)
        return fatal(face, failure);

    const SetupScript& script = installer.script;
    for (int i = 0; i < script.directoryCount; ++i) {
        std::string directory = std::string(installer.installDirectory) + script.directoryNames[i];
        if (isDirectory(directory.c_str())) continue;
        if (makeDirectory(directory.c_str()) != 0)
            return fatal(face, "Directory could not be created!\nAborting setup!");
    }
    installer.copyActive = true;
    return 0;
}

int copyPass(const SetupFace& face)
{
    if (!installer.copyActive || installer.setupFinished) return 0;
    if (installer.openNextFile) return openFilePair(face);
    int result = copyStep(face);
    if (result == 0) face.drawProgress();
    return result;
}

void closeCopyStreams()
{
    if (installer.source) fclose(installer.source);
    if (installer.destination) fclose(installer.destination);
    installer.source = nullptr;
    installer.destination = nullptr;
}
