// The process entry: the argument text is the command line after the program
// name, its words joined by blanks, as the saver's command-line table reads it.
#include <string>

#include "shell/shell.h"

int main(int argc, char** argv)
{
    std::string argumentText;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) argumentText += ' ';
        argumentText += argv[i];
    }
    return saverMain(argumentText.c_str());
}
