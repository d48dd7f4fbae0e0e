// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/form1.h"
