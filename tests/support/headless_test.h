// The fixture for tests that run on the headless backend.
#pragma once

#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"

// A test on a headless machine with no windows, classes or messages left from other tests.
class HeadlessTest : public ::testing::Test {
protected:
    portable::HeadlessBackend backend;
    portable::ScopedBackend installed{&backend};
};
