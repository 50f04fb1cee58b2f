#!/usr/bin/env bash
# Compiler launcher of the fuzz build: clang raises warnings that gcc does not
# in code outside the discovery library; the gcc builds keep them fatal, here
# they stay warnings.
exec "$@" -Wno-error
