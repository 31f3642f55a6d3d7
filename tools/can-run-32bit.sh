#!/usr/bin/env bash
# Succeeds when this machine can execute 32-bit programs, and so run 32-bit Wine.
/usr/lib/wine/wine --version >/dev/null 2>&1
