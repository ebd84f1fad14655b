#include "engine.h"

#include <gtest/gtest.h>

#include "recording_sink.h"

TEST(Engine, Placeholder) {}
