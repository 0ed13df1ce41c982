#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/** Installs an Xlib error handler that ignores errors. A test binary has no JUCEApplication, so Xlib
    keeps its default handler, which ends the process on the harmless errors of a bare Xvfb. */
void talvoIgnoreXErrors (void);

#ifdef __cplusplus
}
#endif
