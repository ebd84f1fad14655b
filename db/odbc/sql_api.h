// The ODBC API as every host's driver manager declares it. Windows' headers
// take their basic types from <windows.h>, which must come first there;
// its min/max macros and its rarely used parts are left out.
#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
