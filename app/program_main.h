#pragma once

#include <cstdint>

// Called once by the run time's host entry point; returns when the message loop has ended.
std::int32_t programMain();
