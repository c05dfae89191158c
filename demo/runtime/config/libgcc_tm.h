/* No target-specific libgcc headers for these CPUs. */
