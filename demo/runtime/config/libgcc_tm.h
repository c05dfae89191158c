// SPDX-License-Identifier: MIT
/* No target-specific libgcc headers for these CPUs. */
