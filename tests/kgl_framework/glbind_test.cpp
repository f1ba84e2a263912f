// The OpenGL binding: the entry-point table from the system's libGL and
// libGLU, its fatal loading errors, visuals and the 8-bit palettes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "kgl/glbind.h"
#include "platform/dynlib.h"

namespace {

int slotIndex(const char* name)
{
    for (int i = 0; i < kGLEntryPointCount; ++i)
        if (strcmp(glEntryPointNames[i], name) == 0) return i;
    return -1;
}

TEST(EntryPoints, TableHasItsPublishedLayout)
{
    EXPECT_STREQ(glEntryPointNames[0], "glAccum");
    EXPECT_STREQ(glEntryPointNames[335], "glViewport");
    EXPECT_STREQ(glEntryPointNames[336], "glWindowPos4fMESA");
    EXPECT_STREQ(glEntryPointNames[337], "glResizeBuffersMESA");
    EXPECT_STREQ(glEntryPointNames[338], "gluErrorString");
    EXPECT_STREQ(glEntryPointNames[388], "gluEndPolygon");
    std::set<std::string> names(glEntryPointNames, glEntryPointNames + kGLEntryPointCount);
    EXPECT_EQ(names.size(), static_cast<size_t>(kGLEntryPointCount)) << "no name twice";
    for (int i = 1; i < 336; ++i)
        EXPECT_LT(strcmp(glEntryPointNames[i - 1], glEntryPointNames[i]), 0) << "OpenGL names in order at " << i;
}

TEST(EntryPoints, LoadingFillsEverySlotFromTheNamedLibraries)
{
    loadOpenGL(nullptr);
    EXPECT_EQ(gl.size, 1560);
    for (int i = 0; i < kGLEntryPointCount; ++i)
        EXPECT_NE(glEntryPointAddress(gl, i), nullptr) << glEntryPointNames[i];
    void* libGL = openLibrary(kOpenGLLibraryName);
    void* libGLU = openLibrary(kGLULibraryName);
    EXPECT_EQ(reinterpret_cast<void*>(gl.glClear), librarySymbol(libGL, "glClear"));
    EXPECT_EQ(reinterpret_cast<void*>(gl.glWindowPos4fMESA), librarySymbol(libGL, "glWindowPos4fMESA"))
        << "Mesa's own extension is taken when the library has it";
    EXPECT_EQ(reinterpret_cast<void*>(gl.gluLookAt), librarySymbol(libGLU, "gluLookAt"));
    EXPECT_EQ(glEntryPointAddress(gl, slotIndex("gluLookAt")), reinterpret_cast<void*>(gl.gluLookAt));

    // A second load changes nothing.
    GLEntryPoints before = gl;
    loadOpenGL(nullptr);
    EXPECT_EQ(memcmp(&before, &gl, sizeof gl), 0);
    closeLibrary(libGL);
    closeLibrary(libGLU);
}

// The fatal exits print their box to standard error when no display can be opened.
void loadWithoutDisplay(const char* openGLName, const char* gluName)
{
    unsetenv("DISPLAY");
    loadOpenGLLibraries(openGLName, gluName);
    exit(0);
}

TEST(EntryPointsDeathTest, MissingLibrariesAreFatal)
{
    EXPECT_EXIT(loadWithoutDisplay("libGL.so.1", "libNoSuchGLU.so.1"), testing::ExitedWithCode(255),
                "KGL Fatal Error!: Unable to load OpenGL!");
    EXPECT_EXIT(loadWithoutDisplay("libNoSuchGL.so.1", "libGLU.so.1"), testing::ExitedWithCode(255),
                "Unable to load OpenGL!");
    // A library that loads but lacks the functions fails on the first slot.
    EXPECT_EXIT(loadWithoutDisplay("libm.so.6", "libGLU.so.1"), testing::ExitedWithCode(255),
                "GetProcAddress\\(\"glAccum\"\\) failed!");
    // The OpenGL library in the utility library's place fails on the first GLU slot.
    EXPECT_EXIT(loadWithoutDisplay("libGL.so.1", "libGL.so.1"), testing::ExitedWithCode(255),
                "GetProcAddress\\(\"gluErrorString\"\\) failed!");
}

TEST(EntryPointsDeathTest, TheUnimplementedSlotEndsTheProgram)
{
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unimplementedGLFunction();
        },
        testing::ExitedWithCode(255),
        "Unimplemented function called!\nThe OpenGL implementation you selected does not implement this function.");
}

TEST(Visual, FlagsChooseTheBuffers)
{
    GLVisual saver = visualFromFlags(0x1A);
    EXPECT_EQ(saver.rgbMode, 1);
    EXPECT_EQ(saver.alphaBuffer, 1);
    EXPECT_EQ(saver.doubleBuffer, 1);
    EXPECT_EQ(saver.depthBits, 16);
    EXPECT_EQ(saver.stencilBits, 0);
    EXPECT_EQ(saver.accumulationBits, 0);
    EXPECT_EQ(saver.samples, 0);
    EXPECT_EQ(visualFromFlags(0x1A | kGLMultisample).samples, 4);
    GLVisual index = visualFromFlags(0x01);
    EXPECT_EQ(index.rgbMode, 0);
    EXPECT_EQ(index.depthBits, 0);
    EXPECT_EQ(index.doubleBuffer, 0);
    GLVisual rest = visualFromFlags(kGLStencil | kGLAccumulation);
    EXPECT_EQ(rest.stencilBits, 8);
    EXPECT_EQ(rest.accumulationBits, 16);
    EXPECT_EQ(rest.alphaBuffer, 0);
}

TEST(Palette, ChannelsExpandThroughTheBitCountTables)
{
    EXPECT_EQ(expandChannel(3, 4), 0) << "other widths give 0";
    EXPECT_EQ(expandChannel(1, 0), 0);

    PaletteEntry palette[256];
    buildRGBPalette332(palette);
    auto rgb = [&](int i) { return std::to_string(palette[i].red) + "," + std::to_string(palette[i].green) + "," +
                                   std::to_string(palette[i].blue); };
    EXPECT_EQ(rgb(0xFF), "255,255,255");
    EXPECT_EQ(rgb(0x00), "0,0,0");
    EXPECT_EQ(rgb(0xE0), "255,0,0");
    EXPECT_EQ(rgb(0x1C), "0,255,0");
    EXPECT_EQ(rgb(0x03), "0,0,255");
    EXPECT_EQ(rgb(0x49), "73,73,85");

    // Another layout: 2 bits of red at 0, 3 of green at 2, 3 of blue at 5.
    buildRGBPalette(palette, 2, 0, 3, 2, 3, 5);
    EXPECT_EQ(rgb(0x03), "255,0,0");
    EXPECT_EQ(rgb(0xE0), "0,0,255");
}

} // namespace
