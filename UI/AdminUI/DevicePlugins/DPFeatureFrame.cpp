#include "DPFeatureFrame.h"

TPluginFeatureFrame::TPluginFeatureFrame(QWidget *Parent) : TFrame(Parent) {}
