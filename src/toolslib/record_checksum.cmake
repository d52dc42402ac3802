# Writes the SHA-256 of MODULE into OUTPUT as the loader's expected checksum.
file(SHA256 "${MODULE}" checksum)
file(WRITE "${OUTPUT}.new"
     "// Written by the build from the tools module's file.\n"
     "extern const char kVoToolsModuleSha256[];\n"
     "const char kVoToolsModuleSha256[] = \"${checksum}\";\n")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
