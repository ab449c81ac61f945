// Identifiers of the plug-in's string resources. Shared by the resource
// script and the code, so it holds preprocessor definitions only.
#pragma once

#define IDS_OPTIONS 1
#define IDS_FUNCTION_VERSION 102
#define IDS_FUNCTION_CLIPBOARD 104
#define IDS_PLUGIN_NAME 128
#define IDS_PLUGIN_DESCRIPTION 129

// The host asks for the options string under this identifier.
#define IDS_HOST_OPTIONS_REQUEST 131
