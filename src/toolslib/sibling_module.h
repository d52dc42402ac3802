#pragma once
// Exports of the tools library's sibling modules.

#define VO_MODULE_EXPORT extern "C" __declspec(dllexport)
