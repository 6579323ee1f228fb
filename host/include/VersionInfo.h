#pragma once
// Where a plug-in keeps its version entries: an ELF section of NUL-separated
// key and value texts, ended by an empty key.
#define VQ_VERSION_SECTION ".vq_version"
