#!/usr/bin/env bash
# Makes sure a CUPS scheduler runs and offers the KelpoPDF queue (prints to PDF files), so the
# printer tests see a real printer. Installs nothing: scripts/deps.sh brings cups and cups-pdf.
set -euo pipefail

queue=KelpoPDF
ppd=lsb/usr/cups-pdf/CUPS-PDF_opt.ppd

for tool in cupsd lpstat lpadmin; do
  if ! command -v "$tool" >/dev/null 2>&1 && [ ! -x "/usr/sbin/$tool" ]; then
    echo "printer-setup: $tool is not installed" >&2
    exit 1
  fi
done
export PATH="$PATH:/usr/sbin"

scheduler_up() { lpstat -r 2>/dev/null | grep -q "is running"; }

if ! scheduler_up; then
  # No service manager here: start the scheduler as a daemon of its own and wait for its socket.
  mkdir -p /run/cups
  cupsd
  for _ in $(seq 1 100); do
    if [ -S /run/cups/cups.sock ] && scheduler_up; then break; fi
    sleep 0.1
  done
  if ! scheduler_up; then
    echo "printer-setup: cupsd did not start" >&2
    exit 1
  fi
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  lpadmin -p "$queue" -v cups-pdf:/ -m "$ppd" -E
fi
# An accepting, enabled queue even if an earlier run left it stopped.
cupsenable "$queue" 2>/dev/null || true
cupsaccept "$queue" 2>/dev/null || true

# A machine with no default printer gets the test queue as its default, so "the current
# printer" means something; an existing default is left alone.
if ! lpstat -d 2>/dev/null | grep -q "system default destination:"; then
  lpadmin -d "$queue"
fi

lpstat -p "$queue"
