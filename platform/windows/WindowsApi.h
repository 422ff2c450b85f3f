// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The only header that includes <windows.h>. It may assume a mingw-w64 or Windows SDK header set
// for 32-bit Windows; what those lack is declared beside it in this folder.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
