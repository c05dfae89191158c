// SPDX-License-Identifier: MIT
/* libgcc2.c includes this for the compiler's own types; it uses none of them. */
