# The demo product: its code, name and install folder (sourced by the demo).
DEMO_CODE='{7D1C9E52-4B0A-4F3E-9C61-2E8A5B40D917}'
DEMO_NAME='Norvane Demo Notes'
DEMO_INSTALL='C:\Program Files\Norvane Demo Notes'
