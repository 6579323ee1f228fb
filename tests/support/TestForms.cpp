// The meta-objects of the test forms.
#include "TestForms.h"
