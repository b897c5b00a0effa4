#include "links/links.h"
