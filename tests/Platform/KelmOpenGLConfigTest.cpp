#include "KelmOpenGLConfig.h"

#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using Vantorel::Kelm::KelmOpenGLConfig;

namespace
{
// Mesa names its rasteriser threads "llvmpipe-<n>".
int rasteriserThreads()
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
    {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        count += name.rfind("llvmpipe-", 0) == 0;
    }
    return count;
}
}

TEST(KelmOpenGLConfig, OpensACurrentOpenGLES1ContextOnA320By240Surface)
{
    KelmOpenGLConfig config(2, 14);
    ASSERT_NE(EGL_NO_DISPLAY, config.getDisplay());
    EXPECT_EQ(config.getContext(), eglGetCurrentContext());
    EXPECT_EQ(config.getSurface(), eglGetCurrentSurface(EGL_DRAW));
    EGLint width = 0, height = 0;
    eglQuerySurface(config.getDisplay(), config.getSurface(), EGL_WIDTH, &width);
    eglQuerySurface(config.getDisplay(), config.getSurface(), EGL_HEIGHT, &height);
    EXPECT_EQ(320, width);
    EXPECT_EQ(240, height);
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(nullptr, version);
    EXPECT_NE(nullptr, std::strstr(version, "OpenGL ES-CM 1.1")) << version;
    EXPECT_EQ(EGL_TRUE, eglSwapBuffers(config.getDisplay(), config.getSurface()));
}

TEST(KelmOpenGLConfig, ReadFrameGivesRgbaWithTheTopRowFirstAfterAnotherConfigurationCloses)
{
    KelmOpenGLConfig first(2, 14);
    {
        KelmOpenGLConfig second(2, 14);
        EXPECT_EQ(second.getContext(), eglGetCurrentContext());
    }
    ASSERT_EQ(EGL_TRUE, eglMakeCurrent(first.getDisplay(), first.getSurface(), first.getSurface(), first.getContext()));
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST); // GL counts rows from the bottom: this is the top row of the screen
    glScissor(0, 239, 320, 1);
    glClearColor(1, 0, 0, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    const std::vector<std::uint8_t> frame = KelmOpenGLConfig::readFrame();
    ASSERT_EQ(320u * 240u * 4u, frame.size());
    EXPECT_EQ(255, frame[0]);
    EXPECT_EQ(0, frame[2]);
    EXPECT_NEAR(128, frame[3], 1);
    EXPECT_EQ(255, frame[319 * 4]);
    EXPECT_EQ(0, frame[320 * 4]); // the second row
    EXPECT_EQ(255, frame[320 * 4 + 2]);
    EXPECT_EQ(255, frame[frame.size() - 2]);
}

// Each run in a fresh process, since Mesa reads the count once.
TEST(KelmOpenGLConfigDeathTest, OneRasteriserThreadUnlessTheEnvironmentSaysOtherwise)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* setting : {static_cast<const char*>(nullptr), "3"})
    {
        EXPECT_EXIT(
            {
                if (setting)
                    ::setenv("LP_NUM_THREADS", setting, 1);
                else
                    ::unsetenv("LP_NUM_THREADS");
                KelmOpenGLConfig config(2, 14);
                // The threads name themselves once they run: wait for them a while.
                const int expected = setting ? 3 : 1;
                for (int i = 0; i < 200 && rasteriserThreads() < expected; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                std::_Exit(rasteriserThreads());
            },
            testing::ExitedWithCode(setting ? 3 : 1), "")
            << (setting ? setting : "unset");
    }
}
