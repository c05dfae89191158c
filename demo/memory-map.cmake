# SPDX-License-Identifier: MIT
# What the memory-map template (demo/pack-template/memory-map.ld.in) and the
# boot monitor's profile take from a board's entry in demo/boards.cmake.

# Sets OUT to VALUE (a number or an expression of CMake's math) in hexadecimal,
# upper case, at least DIGITS digits: 0x01FFFF.
function(quellix_hex value digits out)
    math(EXPR number "${value}" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${number}" 2 -1 number)
    string(TOUPPER "${number}" number)
    string(LENGTH "${number}" length)
    while(length LESS digits)
        string(PREPEND number "0")
        math(EXPR length "${length} + 1")
    endwhile()
    set(${out} "0x${number}" PARENT_SCOPE)
endfunction()

# Sets OUT to the bytes of a linker length such as 128K, 1M or 160 * 120.
function(quellix_bytes length out)
    string(REPLACE "K" " * 1024" length "${length}")
    string(REPLACE "M" " * 1048576" length "${length}")
    math(EXPR bytes "${length}")
    set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# Sets OUT to BYTES as the linker writes sizes: 1M, 128K, or 18.75K.
function(quellix_size_text bytes out)
    math(EXPR kib_remainder "${bytes} % 1024")
    math(EXPR mib_remainder "${bytes} % 1048576")
    if(bytes GREATER_EQUAL 1048576 AND mib_remainder EQUAL 0)
        math(EXPR mib "${bytes} / 1048576")
        set(text "${mib}M")
    elseif(kib_remainder EQUAL 0)
        math(EXPR kib "${bytes} / 1024")
        set(text "${kib}K")
    else()
        math(EXPR hundredths "${bytes} * 100 / 1024")
        math(EXPR whole "${hundredths} / 100")
        math(EXPR fraction "${hundredths} % 100")
        quellix_pad_two("${fraction}" fraction)
        set(text "${whole}.${fraction}K")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(quellix_pad_two number out)
    if(number LESS 10)
        set(number "0${number}")
    endif()
    set(${out} "${number}" PARENT_SCOPE)
endfunction()

# Sets OUT to BYTES as a header's prose writes sizes: 1 MiB, 128 KiB.
function(quellix_size_prose bytes out)
    quellix_size_text("${bytes}" text)
    string(REGEX REPLACE "^([0-9.]+)([KM])$" "\\1 \\2iB" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Appends to the variables TABLE and REGIONS a region NAME (ATTRIBUTES) from
# ORIGIN, LENGTH long (a linker length), described by DESCRIPTION (" * " lines).
macro(quellix_add_region name attributes origin length description)
    quellix_bytes("${length}" region_bytes)
    quellix_hex("${origin}" 6 region_start)
    quellix_hex("${origin} + ${region_bytes} - 1" 6 region_end)
    quellix_size_text("${region_bytes}" region_size)
    string(APPEND TABLE " *   ${name} ${region_start}-${region_end} (${region_size}):\n${description}\n")
    quellix_hex("${origin}" 8 region_origin)
    string(APPEND REGIONS "    ${name} (${attributes}) : ORIGIN = ${region_origin}, LENGTH = ${length}\n")
endmacro()

# Sets, in the caller's scope, what memory-map.ld.in and the profile take from
# the entry of PACK: MAP_TABLE, MEMORY_REGIONS, MAP_RESET_COMMENT, STACK_PLACE,
# STACK_SIZE, STACK_REGION, HEAP_END, HEAP_END_TEXT, ROM_LENGTH, RAM_ASSERTS,
# FLASH (the ROM's range, 0x040000-0x07FFFF), and for the header's prose
# ROM_START (0x040000), ROM_SIZE (256 KiB), RAM_START, RAM_SIZE and, on a board
# with a frame buffer, FRAME_ORIGIN, FRAME_WIDTH and FRAME_HEIGHT.
macro(quellix_memory_map pack)
    set(TABLE "")
    set(REGIONS "")
    list(GET board_${pack}_rom 0 rom_origin)
    list(GET board_${pack}_rom 1 ROM_LENGTH)
    list(GET board_${pack}_ram 0 ram_origin)
    list(GET board_${pack}_ram 1 ram_length)
    quellix_add_region(ROM rx "${rom_origin}" "${ROM_LENGTH}" [=[
 *       vector table (256 entries), code, read-only data, constructor tables,
 *       and the initial contents of .data and .got]=])
    quellix_hex("${rom_origin}" 6 ROM_START)
    quellix_size_prose("${region_bytes}" ROM_SIZE)
    quellix_hex("${ram_origin}" 6 RAM_START)
    quellix_bytes("${ram_length}" ram_bytes)
    quellix_size_prose("${ram_bytes}" RAM_SIZE)
    set(FLASH "${region_start}-${region_end}")
    set(STACK_SIZE "${board_${pack}_stack_size}")
    set(ram_contents [=[
 *       .data and .got (copied from ROM at start-up), .bss (cleared at]=])
    if(DEFINED board_${pack}_frame_buffer)
        # The program's RAM ends at the frame buffer; the stack lies above it.
        list(GET board_${pack}_frame_buffer 0 frame_origin)
        list(GET board_${pack}_frame_buffer 1 frame_width)
        list(GET board_${pack}_frame_buffer 2 frame_height)
        set(FRAME_WIDTH "${frame_width}")
        set(FRAME_HEIGHT "${frame_height}")
        quellix_hex("${frame_origin}" 8 FRAME_ORIGIN)
        math(EXPR below_frame "${frame_origin} - ${ram_origin}")
        quellix_size_text("${below_frame}" below_frame)
        quellix_add_region(RAM rwx "${ram_origin}" "${below_frame}"
            "${ram_contents}\n *       start-up), then the heap")
        quellix_add_region(FRAME rw "${frame_origin}" "${frame_width} * ${frame_height}"
            " *       the frame buffer (${frame_width} x ${frame_height} bytes), written by the camera:\n *       nothing is linked")
        quellix_hex("${frame_origin} + ${frame_width} * ${frame_height}" 8 stack_origin)
        quellix_add_region(STACK rw "${stack_origin}"
            "${ram_length} - ${below_frame} - ${frame_width} * ${frame_height}"
            " *       the stack, which grows down from the top")
        set(STACK_PLACE "")
        set(STACK_REGION STACK)
        set(HEAP_END "ORIGIN(FRAME)")
        set(HEAP_END_TEXT "the frame buffer")
        quellix_hex("${frame_origin}" 6 frame_start)
        set(RAM_ASSERTS "    ASSERT(__bss_end <= ORIGIN(FRAME),
           \"${board_${pack}_name}: .data and .bss do not fit in the ${below_frame} of RAM below the frame buffer at ${frame_start}\")
    ASSERT(__stack_limit >= ORIGIN(STACK),
           \"${board_${pack}_name}: the stack does not fit in the RAM above the frame buffer\")")
    else()
        quellix_add_region(RAM rwx "${ram_origin}" "${ram_length}"
            "${ram_contents}\n *       start-up), the heap, and the stack, which grows down from the top")
        set(STACK_PLACE " above .bss")
        set(STACK_REGION RAM)
        set(HEAP_END "__stack_limit")
        set(HEAP_END_TEXT "the room kept for the stack")
        set(RAM_ASSERTS "    ASSERT(__bss_end <= __stack_limit,
           \"${board_${pack}_name}: .data, .bss and the stack do not fit in the ${ram_length} of RAM\")")
    endif()
    string(REGEX REPLACE "\n$" "" MAP_TABLE "${TABLE}")
    string(REGEX REPLACE "\n$" "" MEMORY_REGIONS "${REGIONS}")
    if(DEFINED board_${pack}_map_reset_comment)
        set(MAP_RESET_COMMENT "${board_${pack}_map_reset_comment}")
    else()
        set(MAP_RESET_COMMENT "${cpu_${board_${pack}_cpu}_map_reset_comment}")
    endif()
    string(CONFIGURE "${MAP_RESET_COMMENT}" MAP_RESET_COMMENT @ONLY)
endmacro()
