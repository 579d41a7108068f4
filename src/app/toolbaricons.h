#pragma once
// The tool bar's pictures, drawn here so they look alike and need no files.
#include <QIcon>

enum class ToolIcon { New, Open, Save, Print, Close, Exit, Tile, Cascade, Help };

QIcon toolIcon(ToolIcon kind);
