#pragma once

#include "ResourceTable.h"

#include <cstdint>

/**
    Our stand-in for the Windows calls that read a module's resources, with the
    shapes the framework's resource loader expects. A module handle designates a
    ResourceTable; the module's own table holds every file embedded from the
    resources folder.
*/
namespace win32
{

using DWORD = std::uint32_t;
using BOOL = int;
using HMODULE = const ResourceTable*;
using HRSRC = const ResourceTable::Resource*;
using HGLOBAL = const ResourceTable::Resource*;

/** The handle that setCurrentModuleInstanceHandle last set, or the module's own
    table when none was set (as a module falls back to the main program's handle).
*/
HMODULE getCurrentModuleInstanceHandle() noexcept;

/** Replaces the current module handle; null restores the module's own table. */
void setCurrentModuleInstanceHandle (HMODULE module) noexcept;

/** The resource of that name and type (ignoring case) in the module, or null. A null
    module means the module's own table.
*/
HRSRC FindResourceA (HMODULE module, const char* name, const char* type);

/** The resource's size in bytes; 0 for a null resource. */
DWORD SizeofResource (HMODULE module, HRSRC resource);

/** A handle to the resource's data, or null. */
HGLOBAL LoadResource (HMODULE module, HRSRC resource);

/** The first byte of a loaded resource, or null. */
const void* LockResource (HGLOBAL loaded);

/** Releases a loaded resource; embedded data lives as long as the module, so there
    is nothing to free. Answers false, as the system call does.
*/
BOOL FreeResource (HGLOBAL loaded);

} // namespace win32
