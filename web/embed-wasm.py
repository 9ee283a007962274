#!/usr/bin/env python3
"""Writes the module's WebAssembly as a script, for the page opened from
file:// (where a browser fetches no file): `var FortelleWasm = 'BASE64';`.

    web/embed-wasm.py WASM SCRIPT"""
import base64
import sys

with open(sys.argv[1], 'rb') as wasm, open(sys.argv[2], 'w') as script:
    script.write("var FortelleWasm = '" + base64.b64encode(wasm.read()).decode() + "';\n")
